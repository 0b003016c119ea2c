#pragma once

#include "chartdata/ChartDataFormat.h"
#include "common/LoadProgress.h"

#include <QString>

class TChart;

// Writes every data series of the chart (hidden ones too) and the default
// time range into the companion file, replacing it only once it is complete.
void SaveChartDataFile(const TChart& chart, TDateTime axisMin, TDateTime axisMax, const QString& fileName);

// Reads and checks a whole companion file; nothing is handed on from a file
// that does not check out. A cancel through `progress` throws LoadCancelled.
TChartDataLayout ReadChartDataLayout(const QString& fileName, TLoadProgress* progress = nullptr);

// Appends the stored series to the chart, each visible and coloured by the
// position it takes.
void AppendStoredSeries(TChart& chart, const TChartDataLayout& data);
