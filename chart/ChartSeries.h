#pragma once

#include "chart/ChartPoint.h"
#include "chart/SeriesSummary.h"
#include "common/PrefaultMemory.h"

#include <QByteArray>
#include <QColor>
#include <QSharedPointer>

#include <cstddef>
#include <vector>

class TChart;
class QCPGraph;
class QCPItemLine;
class QCPGraphData;
template <class DataType> class QCPDataContainer;
using QCPGraphDataContainer = QCPDataContainer<QCPGraphData>;

// Anything the chart draws: the data lines and the cursor line.
class TChartSeries {
public:
    virtual ~TChartSeries() = default;

    bool Active() const { return mActive; }
    void SetActive(bool active);
    TChart* ParentChart() const { return mChart; }

    // The smallest and largest Y that take part in the automatic value axis;
    // false when the series has none.
    virtual bool ValueRange(double& min, double& max) const = 0;

protected:
    friend class TChart;
    virtual void Attach(TChart* chart) = 0;
    virtual void Detach() = 0;
    virtual void ApplyActive() = 0;
    void Changed() const;

    TChart* mChart = nullptr;
    bool mActive = true;
};

// The points of a series between two times: how many, their smallest,
// largest and mean value (NaN where there is none).
struct TSpanFigures {
    std::size_t Count;
    double Min;
    double Max;
    double Mean;
};

// A line joining its points in ascending X order. A point with the same X as
// points already there goes after them, so equal X keep the order added.
class TFastLineSeries : public TChartSeries {
public:
    TFastLineSeries();
    ~TFastLineSeries() override;

    const QByteArray& Title() const { return mTitle; }
    void SetTitle(const QByteArray& title);
    QColor SeriesColor() const { return mColor; }
    void SetSeriesColor(const QColor& color);
    int LineWidth() const { return mLineWidth; }
    void SetLineWidth(int width);
    bool ShowInLegend() const { return mShowInLegend; }
    void SetShowInLegend(bool show) { mShowInLegend = show; }
    int Tag() const { return mTag; }
    void SetTag(int tag) { mTag = tag; }

    void AddXY(double x, double y);
    // Adds many points at once, as AddXY one by one would, in one pass when
    // they come in ascending X after the points already there. A reader that
    // streams a long series may hand it over block by block: each block in
    // ascending X after the last is appended without touching the points
    // before it. While a TSeriesLoad holds the series, points that go before
    // the last one wait aside and are merged in once when the load ends.
    void AddPoints(const TChartPoint* points, std::size_t count);
    // Makes room for this many more points, so that adding them in blocks
    // moves none of the points already there. Returns the room made; throws
    // std::bad_alloc when the memory is not there.
    TMemorySpan ReservePoints(std::size_t count);
    // Removes every point.
    void ClearPoints();

    int Count() const;
    // The points in ascending X, one after another; valid until the series
    // changes.
    const TChartPoint* Points() const;
    // A number no other series of this run of the program has, kept for the
    // life of the series: what others remember it by.
    quint64 Serial() const { return mSerial; }
    double XValue(int index) const;
    double YValue(int index) const;
    // Smallest and largest X; 0 for an empty series.
    double MinXValue() const;
    double MaxXValue() const;
    // Index of the first point whose X is at or after x, or Count().
    int FirstIndexAtOrAfter(double x) const;

    bool ValueRange(double& min, double& max) const override;
    // The figures of the points with X from a to b, both included, read from
    // the summary: as quick for a hundred million points as for ten.
    TSpanFigures SpanFigures(double a, double b) const;

    // How many times points were merged in among the points there, each a
    // pass over the whole series.
    std::size_t MergeCount() const { return mMergeCount; }

private:
    friend class TChart;
    friend class TSeriesLoad;
    QCPGraph* Graph() const { return mGraph; }
    // Merges the points waiting aside into the series, in one pass.
    void MergeWaiting();
    TValueView Values() const;
    void Attach(TChart* chart) override;
    void Detach() override;
    void ApplyActive() override;
    void ApplyPen();
    // Brings the summary up to date after the points from index changed on
    // were added or moved.
    void Summarise(std::size_t changed);

    QSharedPointer<QCPGraphDataContainer> mData;
    QCPGraph* mGraph = nullptr;
    QByteArray mTitle;
    QColor mColor = Qt::black;
    int mLineWidth = 1;
    bool mShowInLegend = true;
    int mTag = 0;
    quint64 mSerial;
    // The value range of every stretch of points, for drawing and for the
    // value axis.
    TSeriesSummary mSummary;
    // Points added before the last point while a load holds the series, in
    // the order added.
    std::vector<TChartPoint> mWaiting;
    int mLoads = 0;
    std::size_t mMergeCount = 0;
};

// Holds series for the length of a load: the points a load adds out of X order
// are sorted and merged in once, at Finish or when the hold ends, instead of
// with every block. The series must outlive the hold.
class TSeriesLoad {
public:
    explicit TSeriesLoad(std::vector<TFastLineSeries*> series);
    // Merges what is still waiting; a merge that fails for want of memory
    // drops the waiting points (the load is failing already then).
    ~TSeriesLoad();
    TSeriesLoad(const TSeriesLoad&) = delete;
    TSeriesLoad& operator=(const TSeriesLoad&) = delete;

    // Merges the waiting points now; the series stay held.
    void Finish();

private:
    std::vector<TFastLineSeries*> mSeries;
};

// The cursor: a vertical line at the middle of X0 and X1 from Y0 to Y1, 3 px
// black, drawn only inside the plot area, on a layer of its own so that moving
// it does not redraw the data lines. While the chart shows lanes, it crosses
// all of them from top to bottom instead.
class TChartShape : public TChartSeries {
public:
    TChartShape() = default;
    ~TChartShape() override;

    double X0() const { return mX0; }
    double X1() const { return mX1; }
    double Y0() const { return mY0; }
    double Y1() const { return mY1; }
    void SetX0(double x);
    void SetX1(double x);
    void SetY0(double y);
    void SetY1(double y);

    bool ValueRange(double& min, double& max) const override;

private:
    friend class TChart;
    QCPItemLine* Item() const { return mLine; }
    void Attach(TChart* chart) override;
    void Detach() override;
    void ApplyActive() override;
    void ApplyCoords();

    QCPItemLine* mLine = nullptr;
    double mX0 = 0;
    double mX1 = 0;
    double mY0 = 0;
    double mY1 = 0;
};
