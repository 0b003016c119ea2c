#pragma once

#include "chart/ChartAxes.h"
#include "chart/ChartSeries.h"
#include "chart/SpanMarkers.h"

#include <QColor>
#include <QWidget>

#include <memory>
#include <vector>

class QContextMenuEvent;
class QCustomPlot;
class QLocale;
class QCPLayer;
class QMenu;
class QMouseEvent;

// The chart panel: an ordered list of series over a time axis and a value
// axis. It owns its series; removing a series destroys it.
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

    TTimeAxis& BottomAxis() { return *mBottomAxis; }
    TValueAxis& LeftAxis() { return *mLeftAxis; }

    // The chart's own legend is never shown; its colour is kept for parity
    // with the panel it sits on.
    QColor LegendColor() const { return mLegendColor; }
    void SetLegendColor(const QColor& color) { mLegendColor = color; }

    // Shown at the pointer on a right-button press.
    void SetPopupMenu(QMenu* menu) { mPopupMenu = menu; }

    // The plot area in the chart's pixel coordinates.
    QRect PlotRect() const;

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
    void FitTimeTicks();
    void PrepareGraphs();
    // The accessible description from the time axis and the series shown.
    void UpdateDescription();
    void Flush();
    void ScheduleFlush();

    QCustomPlot* mPlot;
    QWidget* mFocusFrame;
    QCPLayer* mCursorLayer;
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
