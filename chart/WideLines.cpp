#include "chart/WideLines.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace {

// A piece of about this many points costs the rasteriser a few microseconds.
// Its work for a piece grows faster than the piece's length, while each piece
// adds a fixed cost of its own: on a noisy line of a point a pixel, pieces of
// 12 to 32 points cost the least.
constexpr std::size_t PieceMinPoints = 12;
constexpr std::size_t PieceMaxPoints = 32;

bool Finite(const QPointF& point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

// The cosine of the turn at b between a and c: 1 where the line goes straight
// on, below -1 where a segment has no length and the turn no direction.
double Straightness(const QPointF& a, const QPointF& b, const QPointF& c)
{
    const QPointF in = b - a;
    const QPointF out = c - b;
    const double lengths = QPointF::dotProduct(in, in) * QPointF::dotProduct(out, out);
    return lengths > 0 ? QPointF::dotProduct(in, out) / std::sqrt(lengths) : -2;
}

// Moves end away from the first point of the line that differs from it, by
// length: a flat end there then covers what a square cap would.
void Lengthen(QPointF& end, const QPointF* others, std::size_t count, std::ptrdiff_t step, double length)
{
    for (std::size_t i = 0; i < count; ++i) {
        const QPointF away = end - others[static_cast<std::ptrdiff_t>(i) * step];
        const double distance = std::hypot(away.x(), away.y());
        if (distance > 0) {
            end += away * (length / distance);
            return;
        }
    }
}

// Draws count finite points, the pen's square caps (capLength > 0) made by
// lengthening the first and last segments.
void DrawRun(QPainter& painter, const QPointF* points, std::size_t count, double capLength)
{
    if (count < 2)
        return;
    std::vector<QPointF> run(points, points + count);
    if (capLength > 0) {
        Lengthen(run.front(), run.data() + 1, count - 1, 1, capLength);
        Lengthen(run.back(), run.data() + count - 2, count - 1, -1, capLength);
    }
    std::size_t first = 0;
    for (const std::size_t cut : PolylineCuts(run.data(), count, PieceMinPoints, PieceMaxPoints)) {
        painter.drawPolyline(run.data() + first, static_cast<int>(cut - first + 1));
        first = cut;
    }
    painter.drawPolyline(run.data() + first, static_cast<int>(count - first));
}

} // namespace

std::vector<std::size_t> PolylineCuts(const QPointF* points, std::size_t count, std::size_t minPoints,
                                      std::size_t maxPoints)
{
    std::vector<std::size_t> cuts;
    std::size_t start = 0;
    while (count - start > maxPoints) {
        std::size_t best = start + minPoints - 1;
        double straightest = -3;
        for (std::size_t at = best; at < start + maxPoints; ++at) {
            const double straightness = Straightness(points[at - 1], points[at], points[at + 1]);
            if (straightness > straightest) {
                straightest = straightness;
                best = at;
            }
        }
        cuts.push_back(best);
        start = best;
    }
    return cuts;
}

void DrawPolylineInPieces(QPainter& painter, const QVector<QPointF>& lines)
{
    const QPen pen = painter.pen();
    const double capLength = pen.capStyle() == Qt::SquareCap ? pen.widthF() / 2 : 0;
    QPen flat = pen;
    flat.setCapStyle(Qt::FlatCap);
    painter.setPen(flat);
    const QPointF* points = lines.constData();
    const std::size_t count = static_cast<std::size_t>(lines.size());
    std::size_t first = 0;
    while (first < count) {
        std::size_t end = first;
        while (end < count && Finite(points[end]))
            ++end;
        DrawRun(painter, points + first, end - first, capLength);
        first = end + 1;
    }
    painter.setPen(pen);
}

void DrawFlatSegments(QPainter& painter, const QVector<QPointF>& lines)
{
    const QPen pen = painter.pen();
    QPen flat = pen;
    flat.setCapStyle(Qt::FlatCap);
    painter.setPen(flat);
    QVector<QLineF> segments;
    segments.reserve(lines.size());
    for (int i = 1; i < lines.size(); ++i) {
        const QPointF& a = lines[i - 1];
        const QPointF& b = lines[i];
        if (Finite(a) && Finite(b))
            segments.append(QLineF(a, b));
    }
    painter.drawLines(segments);
    painter.setPen(pen);
}
