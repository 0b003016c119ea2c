#pragma once

#include "common/DateTime.h"

// Video positions are seconds, passed in single precision except where a
// frame's own time is known; the chart counts in TDateTime days from the
// start time of the recording.
TDateTime VideoToChartTime(TDateTime startTime, double seconds);
float ChartToVideoSeconds(TDateTime startTime, TDateTime chartTime);
