#include "chart/StrokeOutline.h"

#include "chart/CoverageRaster.h"

#include <cmath>
#include <utility>

namespace {

bool Finite(const QPointF& point)
{
    return std::isfinite(point.x()) && std::isfinite(point.y());
}

double Cross(const QPointF& a, const QPointF& b)
{
    return a.x() * b.y() - a.y() * b.x();
}

// Adds a triangle turned the way the segments' rectangles are.
void AddTriangle(TCoverageRaster& raster, QPointF a, QPointF b, QPointF c)
{
    if (Cross(b - a, c - a) > 0)
        std::swap(b, c);
    const QPointF corners[] = {a, b, c};
    raster.AddPolygon(corners, 3);
}

// One run of finite points.
void AddRun(TCoverageRaster& raster, const QPointF* points, std::size_t count, QPointF offset, double halfWidth,
            bool squareCaps)
{
    bool started = false;
    QPointF from;
    QPointF direction;
    QPointF normal;
    // The start of the segment still to be added, with its cap.
    QPointF segmentStart;
    for (std::size_t i = 0; i < count; ++i) {
        const QPointF to = points[i] + offset;
        if (i == 0) {
            from = segmentStart = to;
            continue;
        }
        const QPointF step = to - from;
        const double length = std::sqrt(step.x() * step.x() + step.y() * step.y());
        if (!(length > 1e-9))
            continue;
        const QPointF nextDirection = step / length;
        const QPointF nextNormal(-nextDirection.y() * halfWidth, nextDirection.x() * halfWidth);
        if (!started) {
            if (squareCaps)
                segmentStart -= nextDirection * halfWidth;
        } else {
            // The segment before ends here, and the bend's outer side gets a
            // bevel.
            const QPointF corners[] = {segmentStart + normal, from + normal, from - normal, segmentStart - normal};
            raster.AddPolygon(corners, 4);
            const double turn = Cross(direction, nextDirection);
            if (turn > 1e-12)
                AddTriangle(raster, from, from - normal, from - nextNormal);
            else if (turn < -1e-12)
                AddTriangle(raster, from, from + normal, from + nextNormal);
            segmentStart = from;
        }
        started = true;
        direction = nextDirection;
        normal = nextNormal;
        from = to;
    }
    if (!started)
        return;
    const QPointF end = squareCaps ? from + direction * halfWidth : from;
    const QPointF corners[] = {segmentStart + normal, end + normal, end - normal, segmentStart - normal};
    raster.AddPolygon(corners, 4);
}

} // namespace

void AddStrokeOutline(TCoverageRaster& raster, const QPointF* points, std::size_t count, QPointF offset,
                      double width, Qt::PenCapStyle cap)
{
    const bool squareCaps = cap == Qt::SquareCap;
    std::size_t first = 0;
    while (first < count) {
        std::size_t end = first;
        while (end < count && Finite(points[end]))
            ++end;
        AddRun(raster, points + first, end - first, offset, width / 2, squareCaps);
        first = end + 1;
    }
}
