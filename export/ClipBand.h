#pragma once

#include "chart/ChartView.h"
#include "export/ChartBand.h"

#include <QImage>
#include <QLocale>
#include <QSize>

class TChart;

// The chart band of a clip's frames: the chart as it looks with the cursor at
// a frame's time, its rows of values and legend under it. The chart itself is
// drawn only when the view changes; each frame adds its cursor and values.
// The view scrolls as during playback: once the cursor passes its right edge.
// The chart's view is put back when the band goes.
class TClipBand {
public:
    TClipBand(TChart& chart, QSize size, TView view, TDateTime fullMax, const QLocale& locale);
    ~TClipBand();
    TClipBand(const TClipBand&) = delete;
    TClipBand& operator=(const TClipBand&) = delete;

    // The band with the cursor at t (32-bit RGB).
    const QImage& At(TDateTime t);
    const TDrawnChart& Drawn() const { return mDrawn; }
    TView View() const { return mView; }

private:
    void DrawBackground();

    TChart& mChart;
    TView mOldView;
    TView mView;
    TDateTime mFullMax;
    QLocale mLocale;
    QImage mBackground;
    QImage mBand;
    TDrawnChart mDrawn;
};
