#include "chart/SummaryGraph.h"

#include "chart/SeriesSummary.h"
#include "chart/WideLines.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <thread>
#include <vector>

namespace {

// Points are grouped by half pixel columns: a 2-pixel pen reaches a pixel and
// a half to each side, so extremes kept to half a pixel put the same ink in
// the neighbouring columns as all the points would.
constexpr double SlicesPerPixel = 2;

// A slice with this many points or fewer is drawn point by point: its
// summary would take as many.
constexpr std::size_t SummarisedPoints = 2;

// A slice of this many points or more ends at a bucket edge.
constexpr std::size_t AlignedSlicePoints = 8 * TSeriesSummary::FirstBucketPoints;

// How far ahead the points and buckets are asked for, in slices and in kept
// points: far enough for memory to deliver them before they are read.
constexpr double SlicesAhead = 8;
constexpr std::size_t PointsAhead = 64;

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

// Guesses where in the points a slice begins, from the keys at both ends of
// the points in view, and asks the processor to fetch what finding the
// slice's extremes will read there.
class TLookAhead {
public:
    TLookAhead(const QCPAxis& axis, const QCPGraphData* points, std::size_t first, std::size_t last)
        : mFirst(first), mLast(last), mFirstKey(points[first].key),
          mKeyAtSliceZero(axis.pixelToCoord(0)),
          mKeyPerSlice((axis.pixelToCoord(1) - mKeyAtSliceZero) / SlicesPerPixel)
    {
        const double keys = points[last].key - mFirstKey;
        mIndexPerKey = keys > 0 ? static_cast<double>(last - first) / keys : 0;
    }

    void Prefetch(const TSeriesSummary& summary, TValueView values, double slice) const
    {
        const double index =
            static_cast<double>(mFirst) + (mKeyAtSliceZero + slice * mKeyPerSlice - mFirstKey) * mIndexPerKey;
        if (index > static_cast<double>(mFirst) && index < static_cast<double>(mLast)) {
            const auto at = static_cast<std::size_t>(index);
            summary.Prefetch(values, at);
            // A slice of many points starts at the bucket edge before it,
            // whose key the search for its end reads first.
            const std::size_t edge = at / TSeriesSummary::FirstBucketPoints * TSeriesSummary::FirstBucketPoints;
            __builtin_prefetch(values.first + static_cast<std::ptrdiff_t>(edge) * values.stride);
        }
    }

private:
    std::size_t mFirst;
    std::size_t mLast;
    double mFirstKey;
    double mKeyAtSliceZero;
    double mKeyPerSlice;
    double mIndexPerKey;
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

bool TSummaryGraph::Summarises(const QCPGraphDataContainer::const_iterator& begin,
                               const QCPGraphDataContainer::const_iterator& end) const
{
    const QCPAxis* key = keyAxis();
    return key && valueAxis() && key->orientation() == Qt::Horizontal && key->scaleType() == QCPAxis::stLinear
           && !key->rangeReversed() && mSummary.AllFinite()
           && mSummary.Count() == static_cast<std::size_t>(mDataContainer->size())
           && end - begin > PlotWidth() + 2;
}

bool TSummaryGraph::Fits(const TKept& kept, std::size_t first, std::size_t last) const
{
    return kept.Version == mSummary.Version() && kept.First == first && kept.Last == last
           && kept.Range == keyAxis()->range() && kept.Plot == keyAxis()->axisRect()->rect();
}

bool TSummaryGraph::TDrawnFor::operator==(const TDrawnFor& other) const
{
    return Version == other.Version && Count == other.Count && Keys == other.Keys && Values == other.Values
           && Scales == other.Scales && Pen == other.Pen && Clip == other.Clip && Offset == other.Offset;
}

bool TSummaryGraph::DrawnAsImage() const
{
    // The antialiasing as QCPLayerable::applyDefaultAntialiasingHint sets it.
    const bool antialiased = !mParentPlot->notAntialiasedElements().testFlag(QCP::aePlottables)
                             && (mAntialiased || mParentPlot->antialiasedElements().testFlag(QCP::aePlottables));
    return keyAxis() && valueAxis() && mLineStyle == lsLine && mScatterStyle.isNone() && mBrush.style() == Qt::NoBrush
           && selection().isEmpty() && antialiased && TLineImage::Suits(mPen) && keyAxis()->range().size() > 0;
}

TSummaryGraph::TDrawnFor TSummaryGraph::DrawingNow() const
{
    // QCPLayer::draw clips each drawing to its clip rectangle a pixel up, and
    // an antialiased QCPPainter draws half a pixel right and down.
    return {mSummary.Version(),
            dataCount(),
            keyAxis()->range(),
            valueAxis()->range(),
            keyAxis()->scaleType() * 8 + keyAxis()->rangeReversed() * 4 + valueAxis()->scaleType() * 2
                + valueAxis()->rangeReversed(),
            mPen,
            clipRect().translated(0, -1).intersected(mParentPlot->viewport()),
            QPointF(0.5, 0.5)};
}

void TSummaryGraph::Prepare()
{
    mPrepared.reset();
    mDrawn.reset();
    if (!realVisibility() || mLineStyle != lsLine || mDataContainer->isEmpty())
        return;
    QCPGraphDataContainer::const_iterator begin;
    QCPGraphDataContainer::const_iterator end;
    getVisibleDataBounds(begin, end, QCPDataRange(0, dataCount()));
    if (Summarises(begin, end)) {
        const std::size_t first = static_cast<std::size_t>(begin - mDataContainer->constBegin());
        const std::size_t last = static_cast<std::size_t>(end - mDataContainer->constBegin()) - 1;
        mPrepared = TKept{mSummary.Version(), first, last, keyAxis()->range(), keyAxis()->axisRect()->rect(),
                          Keep(first, last)};
    }
    if (DrawnAsImage()) {
        const TDrawnFor now = DrawingNow();
        QVector<QPointF> lines;
        getLines(&lines, QCPDataRange(0, dataCount()));
        mLine.Draw(lines, now.Clip, now.Offset, mPen);
        mDrawn = now;
    }
}

void TSummaryGraph::draw(QCPPainter* painter)
{
    applyDefaultAntialiasingHint(painter);
    if (mDrawn && TLineImage::Suits(*painter) && !painter->modes().testFlag(QCPPainter::pmVectorized)
        && DrawnAsImage() && *mDrawn == DrawingNow() && TLineImage::DeviceClip(*painter) == mDrawn->Clip
        && QPointF(painter->transform().dx(), painter->transform().dy()) == mDrawn->Offset) {
        mLine.LayOver(*painter);
        return;
    }
    QCPGraph::draw(painter);
}

std::vector<std::size_t> TSummaryGraph::Keep(std::size_t first, std::size_t last) const
{
    const QCPGraphData* points = &*mDataContainer->constBegin();
    const TValueView values{&points->value, 2};
    const TSlices slices(*keyAxis(), points);
    const double lastSlice = slices.Of(last);
    const TLookAhead lookAhead(*keyAxis(), points, first, last);

    // The indices of the points kept first, then the points: reading them in
    // a second pass lets the processor fetch many at once.
    std::vector<std::size_t> kept;
    kept.reserve(SummarisedPoints * static_cast<std::size_t>(SlicesPerPixel * (PlotWidth() + 4)));
    double slice = slices.Of(first);
    while (first <= last) {
        lookAhead.Prefetch(mSummary, values, slice + SlicesAhead);
        std::size_t next = last + 1;
        double nextSlice = lastSlice;
        if (slice < lastSlice) {
            next = slices.FirstBeyond(first, last, slice);
            nextSlice = slices.Of(next);
            // A slice of many buckets ends at the bucket edge before its own
            // end, a shift of a few hundredths of a pixel, so that no search
            // reads points beside the buckets.
            const std::size_t edge = next / TSeriesSummary::FirstBucketPoints * TSeriesSummary::FirstBucketPoints;
            if (next - first >= AlignedSlicePoints && edge > first)
                next = edge;
        }
        if (next - first <= SummarisedPoints) {
            for (std::size_t i = first; i < next; ++i)
                kept.push_back(i);
        } else {
            // The slice's extremes, in the order of the points.
            const TValueExtremes extremes = mSummary.Extremes(values, first, next);
            kept.push_back(std::min(extremes.MinIndex, extremes.MaxIndex));
            if (extremes.MinIndex != extremes.MaxIndex)
                kept.push_back(std::max(extremes.MinIndex, extremes.MaxIndex));
        }
        first = next;
        slice = nextSlice;
    }
    return kept;
}

void TSummaryGraph::getOptimizedLineData(QVector<QCPGraphData>* lineData,
                                         const QCPGraphDataContainer::const_iterator& begin,
                                         const QCPGraphDataContainer::const_iterator& end) const
{
    if (!lineData || !Summarises(begin, end)) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }
    const QCPGraphData* points = &*mDataContainer->constBegin();
    const std::size_t first = static_cast<std::size_t>(begin - mDataContainer->constBegin());
    const std::size_t last = static_cast<std::size_t>(end - mDataContainer->constBegin()) - 1;
    std::vector<std::size_t> worked;
    const std::vector<std::size_t>* kept = &worked;
    if (mPrepared && Fits(*mPrepared, first, last))
        kept = &mPrepared->Indices;
    else
        worked = Keep(first, last);
    lineData->resize(static_cast<int>(kept->size()));
    QCPGraphData* out = lineData->data();
    for (std::size_t k = 0; k < kept->size(); ++k) {
        if (k + PointsAhead < kept->size())
            __builtin_prefetch(&points[(*kept)[k + PointsAhead]]);
        out[k] = points[(*kept)[k]];
    }
}

void TSummaryGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const
{
    if (TLineImage::Suits(painter->pen()) && TLineImage::Suits(*painter)
        && !painter->modes().testFlag(QCPPainter::pmVectorized)) {
        TLineImage line;
        line.Draw(lines, TLineImage::DeviceClip(*painter), QPointF(painter->transform().dx(), painter->transform().dy()),
                  painter->pen());
        line.LayOver(*painter);
        return;
    }
    // A pen of one pixel or less QCustomPlot draws as a cosmetic pen, which
    // needs no stroking.
    const QPen& pen = painter->pen();
    if (pen.style() != Qt::SolidLine || pen.widthF() <= 1 || pen.capStyle() == Qt::RoundCap
        || painter->modes().testFlag(QCPPainter::pmVectorized)) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    if (pen.color().alpha() == 0)
        return;
    applyDefaultAntialiasingHint(painter);
    // Fewer points than columns: every join can be seen, so the line is drawn
    // as a polyline, in pieces. Several points a pixel: the joins lie inside
    // the ink around them, and separate segments cost the least.
    if (lines.size() <= PlotWidth() + 2)
        DrawPolylineInPieces(*painter, lines);
    else
        DrawFlatSegments(*painter, lines);
}

void PrepareSummaryGraphs(const std::vector<TSummaryGraph*>& graphs)
{
    std::atomic<std::size_t> next{0};
    const auto work = [&graphs, &next] {
        for (std::size_t i = next++; i < graphs.size(); i = next++) {
            // Without the result the drawing works it out itself.
            try {
                graphs[i]->Prepare();
            } catch (...) {
            }
        }
    };
    const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (std::size_t h = 1; h < std::min(processors, graphs.size()); ++h)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}
