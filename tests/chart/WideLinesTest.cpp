#include "chart/WideLines.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

// A zigzag of count points one pixel apart that goes straight on at the
// given points: each lies on a flat run with the points beside it, half way
// up.
std::vector<QPointF> Zigzag(std::size_t count, const std::vector<std::size_t>& straight)
{
    std::vector<QPointF> points;
    for (std::size_t i = 0; i < count; ++i)
        points.emplace_back(static_cast<double>(i), i % 2 == 0 ? 0 : 5);
    for (const std::size_t at : straight)
        points[at - 1].ry() = points[at].ry() = points[at + 1].ry() = 2.5;
    return points;
}

// A noisy line of a thousand points, a little over a pixel apart, across a
// 1200 x 200 image, as a zoomed chart draws it, broken by a point that is not
// a number.
QVector<QPointF> NoisyLine()
{
    std::mt19937 random(12345);
    std::normal_distribution<double> noise(0.0, 0.7);
    QVector<QPointF> lines;
    for (int i = 0; i < 1000; ++i)
        lines.append(QPointF(1.2 * i + 0.6, 100 + 40 * std::sin(i / 100.0) + noise(random)));
    lines[600] = QPointF(lines[600].x(), std::numeric_limits<double>::quiet_NaN());
    return lines;
}

QImage Drawn(const QPen& pen, const std::function<void(QPainter&)>& draw)
{
    QImage image(1200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    draw(painter);
    EXPECT_EQ(painter.pen(), pen);
    return image;
}

} // namespace

TEST(PolylineCuts, ShortLinesStayWhole)
{
    for (const std::size_t count : {0, 1, 2, 47, 48}) {
        const std::vector<QPointF> points = Zigzag(count, {});
        EXPECT_TRUE(PolylineCuts(points.data(), points.size(), 16, 48).empty()) << count;
    }
}

// Every piece has between the least and the most points, and the cut falls
// on the one joint of its window where the line goes straight on.
TEST(PolylineCuts, CutWhereTheLineGoesStraightOn)
{
    const std::vector<QPointF> bends = Zigzag(200, {});
    std::size_t start = 0;
    for (const std::size_t cut : PolylineCuts(bends.data(), bends.size(), 16, 48)) {
        EXPECT_GE(cut - start + 1, 16u);
        EXPECT_LE(cut - start + 1, 48u);
        start = cut;
    }
    EXPECT_LE(bends.size() - start, 48u);

    // Straight joints inside the first window and the second.
    const std::vector<QPointF> points = Zigzag(110, {30, 70});
    EXPECT_EQ(PolylineCuts(points.data(), points.size(), 16, 48), (std::vector<std::size_t>{30, 70}));
}

// The pieces are shaded differently only where they meet: no pixel may differ
// by half its ink from the line drawn whole, and few by a tenth.
TEST(DrawPolylineInPieces, LooksLikeOnePolyline)
{
    const QVector<QPointF> lines = NoisyLine();
    for (const Qt::PenCapStyle cap : {Qt::SquareCap, Qt::FlatCap}) {
        QPen pen(Qt::blue, 2);
        pen.setCapStyle(cap);
        const QImage pieces = Drawn(pen, [&](QPainter& painter) { DrawPolylineInPieces(painter, lines); });
        const QImage whole = Drawn(pen, [&](QPainter& painter) {
            painter.drawPolyline(lines.constData(), 600);
            painter.drawPolyline(lines.constData() + 601, static_cast<int>(lines.size()) - 601);
        });
        int far = 0;
        int shaded = 0;
        for (int y = 0; y < whole.height(); ++y) {
            for (int x = 0; x < whole.width(); ++x) {
                const int difference = std::abs(pieces.pixelColor(x, y).red() - whole.pixelColor(x, y).red());
                far += difference > 255 / 2;
                shaded += difference > 255 / 10;
            }
        }
        EXPECT_EQ(far, 0) << "cap " << cap;
        EXPECT_LT(shaded, whole.width() * whole.height() / 200) << "cap " << cap;
    }
}
