#include "chart/ChartSeries.h"

#include "chart/Chart.h"
#include "chart/LaneItems.h"
#include "chart/SummaryGraph.h"

#include <qcustomplot.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

namespace {

bool KeyLess(const QCPGraphData& a, const QCPGraphData& b)
{
    return a.key < b.key;
}

static_assert(sizeof(QCPGraphData) == sizeof(TChartPoint) && offsetof(QCPGraphData, key) == offsetof(TChartPoint, X)
                  && offsetof(QCPGraphData, value) == offsetof(TChartPoint, Y),
              "a chart point must be laid out as the plotting library's point");

// The plotting library's container of a line's points, with room made ahead
// and points appended by copying their bytes: the library's point type has
// its constructors out of line, and a call for each of millions of points
// costs more than the copy.
class TPointContainer : public QCPGraphDataContainer {
public:
    TMemorySpan Reserve(std::size_t more)
    {
        const qsizetype wanted = mData.size() + static_cast<qsizetype>(more);
        mData.reserve(wanted);
        // The list leaves its room as it was when it cannot get the memory.
        if (mData.capacity() < wanted)
            throw std::bad_alloc();
        const TMemorySpan room{mData.data() + mData.size(),
                               static_cast<std::size_t>(mData.capacity() - mData.size()) * sizeof(QCPGraphData)};
        AdviseHugePages(room);
        return room;
    }
    // The points must not go before the last one there.
    void Append(const TChartPoint* points, std::size_t count)
    {
        const auto* first = reinterpret_cast<const QCPGraphData*>(points);
        mData.append(QVector<QCPGraphData>::const_iterator(first),
                     QVector<QCPGraphData>::const_iterator(first + count));
    }
};

} // namespace

void TChartSeries::SetActive(bool active)
{
    if (mActive == active)
        return;
    mActive = active;
    ApplyActive();
}

void TChartSeries::Changed() const
{
    if (mChart)
        mChart->RequestReplot();
}

namespace {

quint64 NextSerial()
{
    static std::atomic<quint64> last{0};
    return ++last;
}

} // namespace

TFastLineSeries::TFastLineSeries() : mData(new TPointContainer), mSerial(NextSerial())
{
}

TFastLineSeries::~TFastLineSeries()
{
    Detach();
}

void TFastLineSeries::SetTitle(const QByteArray& title)
{
    mTitle = title;
    // A lane shows the title.
    Changed();
}

void TFastLineSeries::SetSeriesColor(const QColor& color)
{
    mColor = color;
    ApplyPen();
}

void TFastLineSeries::SetLineWidth(int width)
{
    mLineWidth = width;
    ApplyPen();
}

TValueView TFastLineSeries::Values() const
{
    return {mData->isEmpty() ? nullptr : &mData->constBegin()->value, sizeof(QCPGraphData) / sizeof(double)};
}

void TFastLineSeries::Summarise(std::size_t changed)
{
    mSummary.Update(Values(), static_cast<std::size_t>(mData->size()), changed);
}

TSpanFigures TFastLineSeries::SpanFigures(double a, double b) const
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    const auto first = static_cast<std::size_t>(FirstIndexAtOrAfter(a));
    const auto after = std::upper_bound(mData->constBegin(), mData->constEnd(), QCPGraphData(b, 0), KeyLess);
    const auto last = static_cast<std::size_t>(after - mData->constBegin());
    if (first >= last)
        return {0, none, none, none};
    const TValueView values = Values();
    const TValueExtremes extremes = mSummary.Extremes(values, first, last);
    const double min = values[extremes.MinIndex];
    const double max = values[extremes.MaxIndex];
    // Every value NaN: the extremes point at the first, which is NaN too.
    return {last - first, min, max, mSummary.Sum(values, first, last) / static_cast<double>(last - first)};
}

void TFastLineSeries::AddXY(double x, double y)
{
    std::size_t changed = static_cast<std::size_t>(mData->size());
    if (mData->isEmpty() || x >= (mData->constEnd() - 1)->key) {
        mData->add(QCPGraphData(x, y));
    } else {
        // The container puts a point before existing points with the same
        // key; move it behind them.
        mData->add(QCPGraphData(x, y));
        const auto first = std::lower_bound(mData->begin(), mData->end(), QCPGraphData(x, y), KeyLess);
        const auto last = std::upper_bound(first, mData->end(), QCPGraphData(x, y), KeyLess);
        if (last - first > 1)
            std::rotate(first, first + 1, last);
        changed = static_cast<std::size_t>(last - 1 - mData->begin());
    }
    Summarise(changed);
    Changed();
}

void TFastLineSeries::AddPoints(const TChartPoint* points, std::size_t count)
{
    if (count == 0)
        return;
    auto& data = static_cast<TPointContainer&>(*mData);
    const std::size_t before = static_cast<std::size_t>(data.size());
    // Runs at or after the last point are appended; the points between them
    // go aside (NaN included, which compares with nothing).
    double last = data.isEmpty() ? -std::numeric_limits<double>::infinity() : (data.constEnd() - 1)->key;
    for (std::size_t i = 0; i < count;) {
        std::size_t j = i;
        for (; j < count && points[j].X >= last; ++j)
            last = points[j].X;
        data.Append(points + i, j - i);
        for (; j < count && !(points[j].X >= last); ++j)
            mWaiting.push_back(points[j]);
        i = j;
    }
    if (static_cast<std::size_t>(data.size()) != before)
        Summarise(before);
    if (mLoads == 0)
        MergeWaiting();
    Changed();
}

void TFastLineSeries::ClearPoints()
{
    mData->clear();
    std::vector<TChartPoint>().swap(mWaiting);
    Summarise(0);
    Changed();
}

void TFastLineSeries::MergeWaiting()
{
    if (mWaiting.empty())
        return;
    // Equal X keep the order added: the waiting points among themselves by
    // the stable sort, and after the points there with the same X by the
    // merge, which takes equal keys from its first range first. A point with
    // the same X as a waiting one that arrived after it waits too, since
    // the last point was already beyond that X.
    const auto less = [](const TChartPoint& a, const TChartPoint& b) { return a.X < b.X; };
    // Times that run backwards throughout, as in a file written newest
    // first, are sorted by turning them round; that is stable as no two
    // are equal.
    if (std::adjacent_find(mWaiting.begin(), mWaiting.end(), [](const TChartPoint& a, const TChartPoint& b) {
            return !(b.X < a.X);
        }) == mWaiting.end())
        std::reverse(mWaiting.begin(), mWaiting.end());
    else
        std::stable_sort(mWaiting.begin(), mWaiting.end(), less);
    auto& data = static_cast<TPointContainer&>(*mData);
    const auto old = data.size();
    data.Append(mWaiting.data(), mWaiting.size());
    std::vector<TChartPoint>().swap(mWaiting);
    const auto begin = data.begin();
    const auto middle = begin + old;
    const auto changed = std::upper_bound(begin, middle, *middle, KeyLess);
    std::inplace_merge(changed, middle, data.end(), KeyLess);
    ++mMergeCount;
    Summarise(static_cast<std::size_t>(changed - begin));
    Changed();
}

TMemorySpan TFastLineSeries::ReservePoints(std::size_t count)
{
    return static_cast<TPointContainer&>(*mData).Reserve(count);
}

int TFastLineSeries::Count() const
{
    return mData->size();
}

const TChartPoint* TFastLineSeries::Points() const
{
    // A graph's point is a key and a value, two doubles, as a TChartPoint is.
    static_assert(sizeof(QCPGraphData) == sizeof(TChartPoint) && std::is_standard_layout_v<QCPGraphData>
                  && offsetof(QCPGraphData, key) == offsetof(TChartPoint, X)
                  && offsetof(QCPGraphData, value) == offsetof(TChartPoint, Y));
    return mData->isEmpty() ? nullptr : reinterpret_cast<const TChartPoint*>(&*mData->constBegin());
}

double TFastLineSeries::XValue(int index) const
{
    return mData->at(index)->key;
}

double TFastLineSeries::YValue(int index) const
{
    return mData->at(index)->value;
}

double TFastLineSeries::MinXValue() const
{
    return mData->isEmpty() ? 0.0 : mData->constBegin()->key;
}

double TFastLineSeries::MaxXValue() const
{
    return mData->isEmpty() ? 0.0 : (mData->constEnd() - 1)->key;
}

int TFastLineSeries::FirstIndexAtOrAfter(double x) const
{
    const auto it = std::lower_bound(mData->constBegin(), mData->constEnd(), QCPGraphData(x, 0), KeyLess);
    return static_cast<int>(it - mData->constBegin());
}

bool TFastLineSeries::ValueRange(double& min, double& max) const
{
    const TValueRange range = mSummary.Whole();
    if (range.Empty())
        return false;
    min = range.Min;
    max = range.Max;
    return true;
}

void TFastLineSeries::Attach(TChart* chart)
{
    mChart = chart;
    QCustomPlot* plot = chart->Plot();
    mGraph = new TSummaryGraph(plot->xAxis, plot->yAxis, mSummary);
    mGraph->setData(mData);
    mGraph->setAdaptiveSampling(true);
    mGraph->setLineStyle(QCPGraph::lsLine);
    ApplyPen();
    ApplyActive();
}

void TFastLineSeries::Detach()
{
    if (mGraph) {
        mGraph->parentPlot()->removePlottable(mGraph);
        mGraph = nullptr;
    }
    if (mChart)
        mChart->RequestReplot();
    mChart = nullptr;
}

void TFastLineSeries::ApplyActive()
{
    if (mGraph)
        mGraph->setVisible(mActive);
    Changed();
}

void TFastLineSeries::ApplyPen()
{
    if (mGraph)
        mGraph->setPen(QPen(mColor, mLineWidth));
    Changed();
}

TSeriesLoad::TSeriesLoad(std::vector<TFastLineSeries*> series) : mSeries(std::move(series))
{
    for (TFastLineSeries* one : mSeries)
        ++one->mLoads;
}

TSeriesLoad::~TSeriesLoad()
{
    for (TFastLineSeries* one : mSeries) {
        --one->mLoads;
        try {
            one->MergeWaiting();
        } catch (...) {
            std::vector<TChartPoint>().swap(one->mWaiting);
        }
    }
}

void TSeriesLoad::Finish()
{
    for (TFastLineSeries* one : mSeries)
        one->MergeWaiting();
}

TChartShape::~TChartShape()
{
    Detach();
}

void TChartShape::SetX0(double x)
{
    mX0 = x;
    ApplyCoords();
}

void TChartShape::SetX1(double x)
{
    mX1 = x;
    ApplyCoords();
}

void TChartShape::SetY0(double y)
{
    mY0 = y;
    ApplyCoords();
}

void TChartShape::SetY1(double y)
{
    mY1 = y;
    ApplyCoords();
}

bool TChartShape::ValueRange(double& min, double& max) const
{
    min = std::min(mY0, mY1);
    max = std::max(mY0, mY1);
    return true;
}

void TChartShape::Attach(TChart* chart)
{
    mChart = chart;
    mLine = new TAcrossLanes<QCPItemLine>(chart->Plot());
    mLine->setLayer(chart->CursorLayer());
    mLine->setClipToAxisRect(true);
    mLine->setPen(QPen(Qt::black, 3));
    mLine->setSelectable(false);
    ApplyCoords();
    ApplyActive();
}

void TChartShape::Detach()
{
    if (mLine) {
        mLine->parentPlot()->removeItem(mLine);
        mLine = nullptr;
    }
    mChart = nullptr;
}

void TChartShape::ApplyActive()
{
    if (mLine)
        mLine->setVisible(mActive);
    if (mChart)
        mChart->RequestCursorReplot();
}

void TChartShape::ApplyCoords()
{
    if (!mLine)
        return;
    const double x = (mX0 + mX1) / 2;
    if (mChart->LanesShown()) {
        mChart->PlaceAcrossLanes(mLine->start, x, mLine->end, x);
    } else {
        mLine->start->setType(QCPItemPosition::ptPlotCoords);
        mLine->end->setType(QCPItemPosition::ptPlotCoords);
        mLine->start->setCoords(x, mY0);
        mLine->end->setCoords(x, mY1);
    }
    mChart->RequestCursorReplot();
}
