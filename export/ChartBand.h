#pragma once

#include "common/DateTime.h"

#include <QLocale>
#include <QRect>

class QCPPainter;
class TChart;

// Where a drawn chart put its plot and which ranges its axes had, so that a
// cursor can be drawn on the picture afterwards.
struct TDrawnChart {
    QRect Plot;
    double TimeMin = 0;
    double TimeMax = 0;
    double ValueMin = 0;
    double ValueMax = 0;
};

// The height of the rows under the chart: the current values, the legend.
int BandTextHeight();

// Draws the chart into `area` of the painter's device with the chart's own
// drawing (its cursor line included unless withCursor is false), then under
// it the strip, "Current Time" and the visible series' values at `cursor` in
// their colours, and a legend of the visible series. Hidden series are left
// out, as on screen. The chart on screen is drawn anew afterwards.
TDrawnChart DrawChartBand(QCPPainter& painter, const QRect& area, TChart& chart, TDateTime cursor,
                          const QLocale& locale, bool withCursor = true);

// The pixel column at which the chart draws time t.
double TimeColumn(const TDrawnChart& drawn, double t);
