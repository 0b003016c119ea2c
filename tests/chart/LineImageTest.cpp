#include "chart/LineImage.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
const QSize ImageSize(160, 100);
// The most a channel of a pixel may differ from QPainter's drawing.
constexpr int MostDifference = 8;

// The polyline drawn as QCustomPlot draws it: QPainter's polylines, broken
// where a point is not finite.
QImage DrawnByQt(const QVector<QPointF>& lines, const QPen& pen, const QRect& clip)
{
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(clip);
    painter.setPen(pen);
    int first = 0;
    for (int i = 0; i <= lines.size(); ++i) {
        if (i == lines.size() || !std::isfinite(lines[i].y())) {
            painter.drawPolyline(lines.constData() + first, i - first);
            first = i + 1;
        }
    }
    return image;
}

QImage DrawnAsImage(const QVector<QPointF>& lines, const QPen& pen, const QRect& clip)
{
    QImage image(ImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    TLineImage line;
    line.Draw(lines, clip, QPointF(), pen);
    line.LayOver(painter);
    return image;
}

QVector<QPointF> Noisy(int count, double step, double amplitude)
{
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0.0, amplitude);
    QVector<QPointF> lines;
    for (int i = 0; i < count; ++i)
        lines.append(QPointF(5 + i * step, 50 + 30 * std::sin(i * step / 20) + noise(random)));
    return lines;
}

// Up and down within each column, as a summarised series is drawn.
QVector<QPointF> Columns()
{
    std::mt19937 random(9);
    std::uniform_real_distribution<double> spread(0, 12);
    QVector<QPointF> lines;
    for (int i = 0; i < 280; ++i) {
        const double middle = 50 + 25 * std::sin(i / 30.0);
        lines.append(QPointF(10 + i * 0.5, middle + (i % 2 == 0 ? -spread(random) : spread(random))));
    }
    return lines;
}

} // namespace

// The image holds the pixels QPainter would, to a few 255ths of their ink
// (the rounding of the cover differs), for lines steep and flat, thin and
// thick, finer than a pixel, with caps flat and square, broken by gaps, and
// nothing outside the clip, also for lines that leave the image.
TEST(LineImage, LooksLikeQPainterDrawingIt)
{
    const QRect whole(QPoint(), ImageSize);
    const struct {
        const char* name;
        QVector<QPointF> lines;
        double width;
        Qt::PenCapStyle cap;
        QRect clip;
    } cases[] = {
        {"steep", {{20, 5}, {24.3, 95}, {30.7, 8}}, 2, Qt::SquareCap, whole},
        {"flat", {{5, 40.5}, {150, 41.2}, {10, 60}}, 2, Qt::SquareCap, whole},
        {"horizontal and vertical", {{10, 20}, {100, 20}, {100, 80}}, 2, Qt::FlatCap, whole},
        {"sub-pixel steps", Noisy(600, 0.25, 0.3), 2, Qt::SquareCap, whole},
        {"noisy, a point a pixel", Noisy(150, 1, 1.5), 2, Qt::SquareCap, whole},
        {"thick", Noisy(40, 3.7, 4), 5, Qt::FlatCap, whole},
        {"summarised columns", Columns(), 2, Qt::SquareCap, whole},
        {"gaps", {{10, 10}, {40, 30}, {50, NaN}, {60, 50}, {90, 20}, {NaN, NaN}, {100, 90}, {150, 60}}, 2,
         Qt::SquareCap, whole},
        {"beyond the image", {{-30, -20}, {80, 50}, {200, 130}, {-10, 120}, {170, -5}}, 2, Qt::SquareCap, whole},
        {"cut at the clip", Noisy(150, 1.1, 1.5), 2, Qt::SquareCap, QRect(30, 25, 90, 50)},
    };
    for (const auto& one : cases) {
        QPen pen(QColor(20, 60, 200), one.width);
        pen.setCapStyle(one.cap);
        const QImage qt = DrawnByQt(one.lines, pen, one.clip);
        const QImage ours = DrawnAsImage(one.lines, pen, one.clip);
        int largest = 0;
        int inked = 0;
        for (int y = 0; y < ImageSize.height(); ++y) {
            for (int x = 0; x < ImageSize.width(); ++x) {
                const QColor a = qt.pixelColor(x, y);
                const QColor b = ours.pixelColor(x, y);
                largest = std::max({largest, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                    std::abs(a.blue() - b.blue())});
                inked += qt.pixel(x, y) != qRgb(255, 255, 255);
                if (!one.clip.contains(x, y))
                    EXPECT_EQ(ours.pixel(x, y), qRgb(255, 255, 255)) << one.name << " at " << x << ", " << y;
            }
        }
        EXPECT_GT(inked, 100) << one.name;
        EXPECT_LE(largest, MostDifference) << one.name;
    }
}

// Points far outside the image, as a graph zoomed far in hands over, neither
// write outside the clip nor lose the line that crosses it.
TEST(LineImage, FarPointsStayInsideTheClip)
{
    const QRect clip(20, 10, 120, 80);
    const QVector<QPointF> lines = {{-1e12, 50}, {1e12, 52}, {NaN, 0}, {70, -1e15}, {75, 1e15}, {NaN, 0},
                                    {-1e300, -1e300}, {1e300, 1e300}};
    const QImage ours = DrawnAsImage(lines, QPen(Qt::black, 2), clip);
    int inked = 0;
    for (int y = 0; y < ImageSize.height(); ++y) {
        for (int x = 0; x < ImageSize.width(); ++x) {
            const bool white = ours.pixel(x, y) == qRgb(255, 255, 255);
            if (!clip.contains(x, y))
                EXPECT_TRUE(white) << x << ", " << y;
            inked += white ? 0 : 1;
        }
    }
    // The flat line and the steep one, each about 2 pixels wide across the
    // clip.
    EXPECT_GT(inked, 2 * (clip.width() + clip.height()) - 20);
}

// An edge whose rise is too small for a float to hold its slope: the slope
// would be infinite and the edge's columns not numbers.
TEST(CoverageRaster, AnEdgeTooLevelForItsSlopeAddsNothing)
{
    TCoverageRaster raster;
    raster.Reset(100, 4);
    raster.AddEdge({0, 0}, {90, 1e-37});
    QImage image(100, 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    raster.Paint(image, qRgba(0, 0, 0, 255));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            EXPECT_EQ(image.pixel(x, y), 0u) << x << ", " << y;
}
