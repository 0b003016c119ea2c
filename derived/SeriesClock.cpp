#include "derived/SeriesClock.h"

#include "common/DateTime.h"

#include <algorithm>
#include <cmath>
#include <limits>

TSeriesClock::TSeriesClock(TPointsView series) : mPoints(series.Points), mSecondsPerDay(SecondsPerDay)
{
    if (series.Count == 0)
        return;
    mFirst = series.Points[0].X;
    if (series.Count < 2)
        return;
    const double last = series.Points[series.Count - 1].X;
    const double stepDays = (last - mFirst) / static_cast<double>(series.Count - 1);
    mStep = stepDays * SecondsPerDay;
    // A few units in the last place of the largest time: what storing a time
    // as days can cost.
    const double slack =
        8 * std::numeric_limits<double>::epsilon() * std::max({1.0, std::fabs(mFirst), std::fabs(last)});
    mEven = stepDays > 0;
    for (std::size_t i = 1; mEven && i + 1 < series.Count; ++i)
        mEven = std::fabs(series.Points[i].X - (mFirst + static_cast<double>(i) * stepDays)) <= slack;
}
