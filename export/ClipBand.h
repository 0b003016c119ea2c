#pragma once

#include "chart/ChartView.h"
#include "export/ChartBand.h"

#include <QImage>
#include <QLocale>
#include <QSize>

class TChart;

// One frame's chart band: the chart drawn without its cursor (the same
// picture until the view moves; Serial changes with it), the cursor line's
// rectangle on it, and the rows of values and legend under it (32-bit RGB).
struct TBandFrame {
    const QImage& Chart;
    quint64 Serial;
    QRect Cursor;
    const QImage& Rows;
};

// The chart band of a clip's frames: the chart as it looks with the cursor at
// a frame's time, its rows of values and legend under it. The chart itself is
// drawn only when the view changes; each frame has its own cursor and values.
// The view scrolls as during playback: once the cursor passes its right edge.
// The chart's view is put back when the band goes.
class TClipBand {
public:
    // The size's height is BandTextHeight() and more, even.
    TClipBand(TChart& chart, QSize size, TView view, TDateTime fullMax, const QLocale& locale);
    ~TClipBand();
    TClipBand(const TClipBand&) = delete;
    TClipBand& operator=(const TClipBand&) = delete;

    // The band with the cursor at t; valid until the next call.
    TBandFrame At(TDateTime t);
    const TDrawnChart& Drawn() const { return mDrawn; }

private:
    void DrawChartPart();

    TChart& mChart;
    TView mOldView;
    TView mView;
    TDateTime mFullMax;
    QLocale mLocale;
    QImage mChartPart;
    quint64 mSerial = 0;
    QImage mRows;
    TDrawnChart mDrawn;
};
