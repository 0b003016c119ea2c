#pragma once

#include <QByteArray>
#include <QColor>

#include <array>
#include <memory>

class TChart;
class TFastLineSeries;

// The colours of data series by their position in the chart; position 0 is
// the cursor's, so the first data series takes entry 1. Series beyond the
// table start over from its first entry.
extern const std::array<QColor, 16> SeriesColors;
QColor SeriesColorAt(int position);

// A data series as every producer makes it: line width 2, the title, and the
// colour of the position it will take in the chart.
std::unique_ptr<TFastLineSeries> CreateChartSeries(int position, const QByteArray& title);
// The same, added to the end of the chart at once.
TFastLineSeries* AddChartSeries(TChart& chart, const QByteArray& title);
// Removes every data series, from the last down to position 1; the cursor stays.
void FreeDataSeries(TChart& chart);
