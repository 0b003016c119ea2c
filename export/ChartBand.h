#pragma once

#include "common/DateTime.h"

#include <QColor>
#include <QList>
#include <QLocale>
#include <QRect>
#include <QString>

class QCPPainter;
class QPainter;
class TChart;

// Where a drawn chart put its plot and which ranges its axes had, so that a
// cursor can be drawn on the picture afterwards.
struct TDrawnChart {
    QRect Plot;
    double TimeMin = 0;
    double TimeMax = 0;
};

// The height of the rows under the chart: the current values, the legend.
int BandTextHeight();

// Draws the chart into `area` of the painter's device with the chart's own
// drawing, its cursor line included unless withCursor is false. The chart on
// screen is drawn anew afterwards.
TDrawnChart DrawChart(QCPPainter& painter, const QRect& area, TChart& chart, bool withCursor);

// The pixel column at which the drawn chart has time t.
double TimeColumn(const TDrawnChart& drawn, double t);

// Where the cursor line at time t lies as the chart draws it: 3 px wide
// over the plot's height, nothing outside the plot (black).
QRect CursorLineRect(const TDrawnChart& drawn, double t);

// What the rows under the chart show for a cursor time: the time of day and
// each visible series' value (where it has one) and title, in its colour.
struct TBandText {
    struct TEntry {
        QString Title;
        QString Value;
        QColor Color;
    };
    QString Time;
    QList<TEntry> Entries;
};
TBandText BandTextAt(const TChart& chart, TDateTime cursor, const QLocale& locale);

// Draws the rows of `text` into `area` (BandTextHeight() high): "Current
// Time" with the time and "Current Data" with the values, then the legend.
void DrawBandText(QPainter& painter, const QRect& area, const TBandText& text);

// The chart above its rows, the cursor at `cursor`, filling `area`.
TDrawnChart DrawChartBand(QCPPainter& painter, const QRect& area, TChart& chart, TDateTime cursor,
                          const QLocale& locale, bool withCursor = true);
