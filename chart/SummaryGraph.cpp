#include "chart/SummaryGraph.h"

#include "chart/SeriesSummary.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// Points are grouped by half pixel columns: a 2-pixel pen reaches a pixel and
// a half to each side, so extremes kept to half a pixel put the same ink in
// the neighbouring columns as all the points would.
constexpr double SlicesPerPixel = 2;

// A slice with this many points or fewer is drawn point by point: its
// summary would take as many.
constexpr std::size_t SummarisedPoints = 4;

static_assert(sizeof(QCPGraphData) == 2 * sizeof(double), "the values are read in place");

// The slices of the plot in which the points of a sorted run fall.
class TSlices {
public:
    TSlices(const QCPAxis& axis, const QCPGraphData* points) : mAxis(axis), mPoints(points) {}

    double Of(std::size_t index) const { return std::floor(mAxis.coordToPixel(mPoints[index].key) * SlicesPerPixel); }

    // The first index in (lo, hi] whose slice lies beyond slice, given that
    // the point at lo lies in it or before it and the point at hi beyond it.
    // The points are spread about evenly in time, so a guess from the keys
    // lands close and a gallop from there finds the edge in a few reads.
    std::size_t FirstBeyond(std::size_t lo, std::size_t hi, double slice) const
    {
        if (hi - lo > 1) {
            const double edge = mAxis.pixelToCoord((slice + 1) / SlicesPerPixel);
            const double lowKey = mPoints[lo].key;
            const double share = (edge - lowKey) / (mPoints[hi].key - lowKey);
            const double span = static_cast<double>(hi - lo);
            const double offset = share > 0 ? std::min(share * span, span - 1) : 1;
            const std::size_t guess = lo + std::max<std::size_t>(1, static_cast<std::size_t>(offset));
            if (Of(guess) > slice) {
                hi = guess;
                for (std::size_t step = 1; hi - lo > 1; step *= 2) {
                    const std::size_t probe = hi - std::min(step, hi - lo - 1);
                    if (Of(probe) <= slice) {
                        lo = probe;
                        break;
                    }
                    hi = probe;
                }
            } else {
                lo = guess;
                for (std::size_t step = 1; hi - lo > 1; step *= 2) {
                    const std::size_t probe = lo + std::min(step, hi - lo - 1);
                    if (Of(probe) > slice) {
                        hi = probe;
                        break;
                    }
                    lo = probe;
                }
            }
        }
        while (hi - lo > 1) {
            const std::size_t middle = lo + (hi - lo) / 2;
            if (Of(middle) > slice)
                hi = middle;
            else
                lo = middle;
        }
        return hi;
    }

private:
    const QCPAxis& mAxis;
    const QCPGraphData* mPoints;
};

} // namespace

TSummaryGraph::TSummaryGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const TSeriesSummary& summary)
    : QCPGraph(keyAxis, valueAxis), mSummary(summary)
{
}

int TSummaryGraph::PlotWidth() const
{
    return keyAxis() ? keyAxis()->axisRect()->width() : 0;
}

bool TSummaryGraph::CanSummarise() const
{
    const QCPAxis* key = keyAxis();
    return key && valueAxis() && key->orientation() == Qt::Horizontal && key->scaleType() == QCPAxis::stLinear
           && !key->rangeReversed() && mSummary.AllFinite()
           && mSummary.Count() == static_cast<std::size_t>(mDataContainer->size());
}

void TSummaryGraph::getOptimizedLineData(QVector<QCPGraphData>* lineData,
                                         const QCPGraphDataContainer::const_iterator& begin,
                                         const QCPGraphDataContainer::const_iterator& end) const
{
    const std::size_t count = static_cast<std::size_t>(end - begin);
    const int width = PlotWidth();
    if (!lineData || !CanSummarise() || count <= static_cast<std::size_t>(width + 2)) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }

    const QCPGraphData* points = &*mDataContainer->constBegin();
    const TValueView values{&points->value, 2};
    const TSlices slices(*keyAxis(), points);
    const std::size_t last = static_cast<std::size_t>(end - mDataContainer->constBegin()) - 1;
    const double lastSlice = slices.Of(last);
    lineData->reserve(static_cast<int>(SummarisedPoints * SlicesPerPixel) * (width + 4));

    std::size_t first = static_cast<std::size_t>(begin - mDataContainer->constBegin());
    while (first <= last) {
        const double slice = slices.Of(first);
        const std::size_t next = slice < lastSlice ? slices.FirstBeyond(first, last, slice) : last + 1;
        if (next - first <= SummarisedPoints) {
            for (std::size_t i = first; i < next; ++i)
                lineData->append(points[i]);
        } else {
            // The slice's first point, its extremes and its last point, in the
            // order of the points.
            const TValueExtremes extremes = mSummary.Extremes(values, first, next);
            const std::size_t kept[] = {first, std::min(extremes.MinIndex, extremes.MaxIndex),
                                        std::max(extremes.MinIndex, extremes.MaxIndex), next - 1};
            for (std::size_t k = 0; k < 4; ++k)
                if (k == 0 || kept[k] != kept[k - 1])
                    lineData->append(points[kept[k]]);
        }
        first = next;
    }
}

void TSummaryGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const
{
    const QPen& pen = painter->pen();
    if (lines.size() <= PlotWidth() + 2 || pen.style() != Qt::SolidLine
        || painter->modes().testFlag(QCPPainter::pmVectorized)) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    // Several points a pixel: a wide pen would go through the stroker, whose
    // cost grows with every corner. Separate segments with flat ends draw
    // the same pixels without it; the ends meet without the stroker's corner
    // joins, a difference only in the shading of a pixel's edge.
    if (pen.color().alpha() == 0)
        return;
    applyDefaultAntialiasingHint(painter);
    QPen flat = pen;
    flat.setCapStyle(Qt::FlatCap);
    painter->setPen(flat);
    QVector<QLineF> segments;
    segments.reserve(lines.size());
    for (int i = 1; i < lines.size(); ++i) {
        const QPointF& a = lines[i - 1];
        const QPointF& b = lines[i];
        if (std::isfinite(a.x()) && std::isfinite(a.y()) && std::isfinite(b.x()) && std::isfinite(b.y()))
            segments.append(QLineF(a, b));
    }
    painter->drawLines(segments);
    painter->setPen(pen);
}
