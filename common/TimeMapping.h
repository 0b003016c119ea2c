#pragma once

#include "common/DateTime.h"

// Video positions are seconds in single precision; the chart counts in
// TDateTime days from the start time of the recording.
TDateTime VideoToChartTime(TDateTime startTime, float seconds);
float ChartToVideoSeconds(TDateTime startTime, TDateTime chartTime);
