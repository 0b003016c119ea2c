#include "bench/LineDrawingBench.h"

#include "bench/OffscreenApplication.h"
#include "chart/LineImage.h"
#include "chart/WideLines.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int SeriesCount = 10;
constexpr int PointsInView = 1000;
constexpr int Rounds = 41;
const QSize PlotSize(1200, 200);

using Clock = std::chrono::steady_clock;

// Ten series of a slow wave with noise, zoomed so that a thousand points of
// each fill the plot, in pixels: the lines a 1 % view of the scale figures
// hands to the drawing.
std::vector<QVector<QPointF>> ZoomedLines()
{
    std::mt19937 random(12345);
    std::normal_distribution<double> noise(0.0, 0.5);
    const double pixelsPerValue = PlotSize.height() / 130.0;
    std::vector<QVector<QPointF>> series;
    for (int s = 0; s < SeriesCount; ++s) {
        QVector<QPointF> lines;
        for (int i = 0; i < PointsInView; ++i) {
            const double phase = 6.283185307179586 * (0.03 * i / PointsInView + 1.5 + s / 10.0);
            const double value = 10.0 * s + 20.0 * std::sin(phase) + noise(random);
            lines.append(QPointF(PlotSize.width() * (i + 0.5) / PointsInView,
                                 PlotSize.height() - (value + 20) * pixelsPerValue));
        }
        series.push_back(lines);
    }
    return series;
}

QImage Blank()
{
    QImage image(PlotSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

using Drawing = std::function<void(QPainter&, const QVector<QPointF>&)>;

struct Timed {
    double Milliseconds;
    QImage Image;
};

Timed Measure(const std::vector<QVector<QPointF>>& series, const QPen& pen, const Drawing& draw,
              int rounds = Rounds)
{
    std::vector<double> times;
    QImage image;
    for (int round = 0; round < rounds; ++round) {
        image = Blank();
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(pen);
        const Clock::time_point begin = Clock::now();
        for (const QVector<QPointF>& lines : series)
            draw(painter, lines);
        painter.end();
        times.push_back(std::chrono::duration<double>(Clock::now() - begin).count() * 1e3);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return {times[static_cast<std::size_t>(rounds / 2)], image};
}

// Pixels whose blue differs from the reference's by more than the given
// share of full ink.
int Differing(const QImage& a, const QImage& b, double share)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::abs(a.pixelColor(x, y).red() - b.pixelColor(x, y).red()) > share * 255)
                ++count;
    return count;
}

void Segments(QPainter& painter, const QVector<QPointF>& lines)
{
    QVector<QLineF> segments;
    segments.reserve(lines.size());
    for (int i = 1; i < lines.size(); ++i)
        segments.append(QLineF(lines[i - 1], lines[i]));
    painter.drawLines(segments);
}

// Draws each line as polylines of between minPoints and maxPoints points,
// cut where it bends least, with flat ends.
Drawing Pieces(std::size_t minPoints, std::size_t maxPoints)
{
    return [minPoints, maxPoints](QPainter& painter, const QVector<QPointF>& lines) {
        const QPointF* points = lines.constData();
        std::size_t first = 0;
        for (const std::size_t cut : PolylineCuts(points, lines.size(), minPoints, maxPoints)) {
            painter.drawPolyline(points + first, static_cast<int>(cut - first + 1));
            first = cut;
        }
        painter.drawPolyline(points + first, static_cast<int>(lines.size() - first));
    };
}

} // namespace

int RunLineDrawingBench(int argc, char** argv)
{
    const std::unique_ptr<QApplication> application = OffscreenApplication(argv[0]);
    const std::vector<QVector<QPointF>> series = ZoomedLines();
    QPen wide(Qt::blue, 2);
    QPen flat = wide;
    flat.setCapStyle(Qt::FlatCap);
    QPen cosmetic(Qt::blue, 1);
    cosmetic.setCosmetic(true);

    const Timed reference = Measure(series, wide, [](QPainter& p, const QVector<QPointF>& l) { p.drawPolyline(l); }, 3);
    const struct {
        const char* name;
        QPen pen;
        Drawing draw;
    } ways[] = {
        {"pieces", wide, [](QPainter& p, const QVector<QPointF>& l) { DrawPolylineInPieces(p, l); }},
        {"flat_segments", wide, [](QPainter& p, const QVector<QPointF>& l) { DrawFlatSegments(p, l); }},
        {"square_segments", wide, Segments},
        {"pieces_4_8", flat, Pieces(4, 8)},
        {"pieces_8_16", flat, Pieces(8, 16)},
        {"pieces_8_24", flat, Pieces(8, 24)},
        {"pieces_12_32", flat, Pieces(12, 32)},
        {"pieces_16_48", flat, Pieces(16, 48)},
        {"pieces_32_96", flat, Pieces(32, 96)},
        {"pieces_64_128", flat, Pieces(64, 128)},
        {"whole_polyline", wide, [](QPainter& p, const QVector<QPointF>& l) { p.drawPolyline(l); }},
        {"one_by_one", wide,
         [](QPainter& p, const QVector<QPointF>& l) {
             for (int i = 1; i < l.size(); ++i)
                 p.drawLine(l[i - 1], l[i]);
         }},
        // Our own rasteriser, drawing into an image of each line's own, kept
        // from one round to the next as a graph keeps it.
        {"line_image", wide,
         [images = std::make_shared<std::map<const QPointF*, TLineImage>>()](QPainter& p, const QVector<QPointF>& l) {
             TLineImage& line = (*images)[l.constData()];
             line.Draw(l, QRect(QPoint(), PlotSize), QPointF(), p.pen());
             line.LayOver(p);
         }},
        {"cosmetic_1px_polyline", cosmetic, [](QPainter& p, const QVector<QPointF>& l) { p.drawPolyline(l); }},
        {"cosmetic_1px_segments", cosmetic, Segments},
    };
    std::printf("%-24s %8s %10s %10s\n", "way", "ms", "diff>0.1", "diff>0.5");
    std::printf("%-24s %8.2f %10d %10d\n", "reference_polyline", reference.Milliseconds, 0, 0);
    // A name after the command times only the ways whose names hold it.
    const QByteArray only = argc >= 3 ? QByteArray(argv[2]) : QByteArray();
    for (const auto& way : ways) {
        if (!QByteArray(way.name).contains(only))
            continue;
        const Timed timed = Measure(series, way.pen, way.draw);
        std::printf("%-24s %8.2f %10d %10d\n", way.name, timed.Milliseconds,
                    Differing(timed.Image, reference.Image, 0.1), Differing(timed.Image, reference.Image, 0.5));
        std::fflush(stdout);
    }
    return 0;
}
