#pragma once

#include "common/DateTime.h"

#include <QLocale>
#include <QString>

class TChart;

// The value of series index at time x: the Y of the first point at or after x,
// or NaN when x lies outside the series' X range (or there is no such series).
double SeriesValueAt(const TChart& chart, int index, TDateTime x);

// A value as the strip shows it: "0.###" in the locale, without grouping.
QString FormatCurrentValue(double value, const QLocale& locale);
