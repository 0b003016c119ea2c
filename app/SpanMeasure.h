#pragma once

#include "chart/ChartSeries.h"
#include "common/DateTime.h"

#include <QColor>
#include <QLocale>
#include <QString>

#include <optional>

class TChart;

// The two measuring markers: the first placed is A, the next B, then A
// again, and so on in turn.
struct TMarkerPair {
    std::optional<TDateTime> A;
    std::optional<TDateTime> B;
    bool NextIsB = false;

    void Place(TDateTime x);
    void Clear() { *this = TMarkerPair(); }
    bool Complete() const { return A && B; }
};

// What the measurement tells of one series between A and B.
struct TSeriesMeasure {
    QString Title;
    QColor Color;
    // The values at A and at B, read as the current values are at the cursor.
    double AtA;
    double AtB;
    // The points from the earlier marker to the later one, both included.
    TSpanFigures Span;
};

// The measurement of the line series at index between a and b (in either order).
TSeriesMeasure MeasureSeries(const TChart& chart, int index, TDateTime a, TDateTime b);

// "A 07:00:01.250  B 07:00:03.500  Δt 2.250 s".
QString MeasureHeaderText(TDateTime a, TDateTime b, const QLocale& locale);
// "speed  A 1.5  B 2  Δ 0.5  min 1  max 3  mean 1.75"; a figure that has no
// value shows as "-".
QString MeasureSeriesText(const TSeriesMeasure& measure, const QLocale& locale);
