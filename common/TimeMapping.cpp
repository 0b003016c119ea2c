#include "common/TimeMapping.h"

TDateTime VideoToChartTime(TDateTime startTime, double seconds)
{
    // Three divisions in extended precision, as the rest of the program and
    // stored files expect.
    const long double days = static_cast<long double>(seconds) / 24 / 60 / 60;
    return static_cast<TDateTime>(days + startTime);
}

float ChartToVideoSeconds(TDateTime startTime, TDateTime chartTime)
{
    return static_cast<float>((chartTime - startTime) * 24 * 60 * 60);
}
