#pragma once

#include "chart/ChartAxes.h"
#include "chart/ChartSeries.h"
#include "chart/SpanMarkers.h"

#include <QColor>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QContextMenuEvent;
class QCustomPlot;
class QLocale;
class QCPAxisRect;
class QCPItemPosition;
class QCPItemText;
class QCPLayer;
class QCPMarginGroup;
class QMenu;
class QMouseEvent;

// The chart panel: an ordered list of series over a time axis and a value
// axis. It owns its series; removing a series destroys it. Laned, it gives
// every shown data line a lane of its own, stacked from top to bottom, each
// with its own value axis and title; one time axis, labelled under the bottom
// lane, serves them all.
class TChart : public QWidget {
    Q_OBJECT

public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    int SeriesCount() const { return static_cast<int>(mSeries.size()); }
    TChartSeries* Series(int index) const { return mSeries.at(static_cast<std::size_t>(index)).get(); }
    // The series at index as a line series, or nullptr when it is none.
    TFastLineSeries* LineSeries(int index) const;
    // Adds a series at the end of the list and returns it.
    template <class Series>
    Series* AddSeries(std::unique_ptr<Series> series)
    {
        Series* raw = series.get();
        Append(std::move(series));
        return raw;
    }
    // Removes the series at index and destroys it.
    void FreeSeries(int index);
    // Removes the series at index and hands it over whole, to be put back
    // later by InsertSeries.
    std::unique_ptr<TChartSeries> TakeSeries(int index);
    // Puts a series in the list at index (at most SeriesCount()).
    void InsertSeries(int index, std::unique_ptr<TChartSeries> series);

    TTimeAxis& BottomAxis() { return *mBottomAxis; }
    TValueAxis& LeftAxis() { return *mLeftAxis; }

    // The chart's own legend is never shown; its colour is kept for parity
    // with the panel it sits on.
    QColor LegendColor() const { return mLegendColor; }
    void SetLegendColor(const QColor& color) { mLegendColor = color; }

    // Shown at the pointer on a right-button press.
    void SetPopupMenu(QMenu* menu) { mPopupMenu = menu; }

    // The plot area in the chart's pixel coordinates: from the top of the
    // first lane to the bottom of the last.
    QRect PlotRect() const;

    // One lane per shown data line instead of one value axis for all. With no
    // line shown, the chart shows its one shared axis either way.
    bool Laned() const { return mLaned; }
    void SetLaned(bool laned);
    // The lanes as of the last drawing: one when the series share one axis.
    int LaneCount() const { return static_cast<int>(mLanes.size()); }
    // Whether the last drawing showed lanes rather than the shared axis.
    bool LanesShown() const { return mLanesShown; }
    // A lane's plot area in the chart's pixel coordinates.
    QRect LaneRect(int lane) const;
    // The text of a lane's title from its series' stored title; the title
    // bytes as UTF-8 unless set.
    void SetTitleText(std::function<QString(const QByteArray&)> text) { mTitleText = std::move(text); }
    // Fits every value axis to the shown series drawn against it.
    void AdjustValueAxes();
    // For the chart's own items: places top at time topX on the top edge of
    // the first lane, bottom at bottomX on the bottom edge of the last.
    void PlaceAcrossLanes(QCPItemPosition* top, double topX, QCPItemPosition* bottom, double bottomX) const;

    // Redraws what changed: everything, or only the cursor layer.
    void RequestReplot();
    // While held (holds nest), full redraws asked for wait: a long load adds
    // points between event loops and is drawn once when it ends.
    void HoldReplots();
    void ReleaseReplots();
    void RequestCursorReplot();
    // Draws pending changes now (used where a picture is needed at once).
    void ReplotNow();

    QCustomPlot* Plot() const { return mPlot; }
    QCPLayer* CursorLayer() const { return mCursorLayer; }
    // The measuring markers, drawn over the series.
    TSpanMarkers& Markers() { return *mMarkers; }

signals:
    // A mouse-button press on a series (the cursor line included).
    void ClickSeries(TChartSeries* series, int valueIndex, Qt::MouseButton button,
                     Qt::KeyboardModifiers shift, int x, int y);
    // A mouse-button press anywhere else on the chart.
    void ClickBackground(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // The pointer moved over the chart, or anywhere while a button pressed
    // on it is held.
    void MouseMove(int x, int y);
    // A mouse button pressed on the chart was released.
    void MouseRelease(Qt::MouseButton button, int x, int y);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Append(std::unique_ptr<TChartSeries> series);
    void PlotMousePress(QMouseEvent* event);
    void BeforeReplot();
    // Makes a lane for every shown line (or the one shared axis), moves the
    // lines to their lanes' axes, and returns the lanes' series.
    std::vector<TFastLineSeries*> ArrangeLanes();
    void AddLane();
    void RemoveLastLane();
    void FitTimeTicks();
    void FitValueTicks();
    void PrepareGraphs();
    // The accessible description from the time axis and the series shown.
    void UpdateDescription();
    void Flush();
    void ScheduleFlush();

    QCustomPlot* mPlot;
    QWidget* mFocusFrame;
    QCPLayer* mCursorLayer;
    QCPMarginGroup* mMarginGroup;
    // A lane: its plot area with a time and a value axis, and its title. The
    // first is the plot's own axis rectangle and always there.
    struct TLane {
        QCPAxisRect* Rect;
        QCPItemText* Title;
    };
    std::vector<TLane> mLanes;
    bool mLaned = false;
    // Whether the last arrangement showed lanes, for the items placed on them.
    bool mLanesShown = false;
    std::function<QString(const QByteArray&)> mTitleText;
    std::unique_ptr<TTimeAxis> mBottomAxis;
    std::unique_ptr<TValueAxis> mLeftAxis;
    std::vector<std::unique_ptr<TChartSeries>> mSeries;
    std::unique_ptr<TSpanMarkers> mMarkers;
    QMenu* mPopupMenu = nullptr;
    QColor mLegendColor;
    bool mFlushQueued = false;
    bool mFullReplotPending = false;
    bool mCursorReplotPending = false;
    int mReplotHolds = 0;
};

// Holds a chart's full redraws for as long as it lives.
class TChartReplotHold {
public:
    explicit TChartReplotHold(TChart& chart) : mChart(chart) { mChart.HoldReplots(); }
    ~TChartReplotHold() { mChart.ReleaseReplots(); }
    TChartReplotHold(const TChartReplotHold&) = delete;
    TChartReplotHold& operator=(const TChartReplotHold&) = delete;

private:
    TChart& mChart;
};

// What a screen reader says of a chart: the span of its time axis and how many
// data series it shows ("From 07:00:00 to 07:01:40, 3 series shown").
QString ChartDescription(double min, double max, int seriesCount, const QLocale& locale);
