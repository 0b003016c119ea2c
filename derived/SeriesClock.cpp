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
    if (mEven)
        mStep = RoundStep(mStep, 2 * slack * SecondsPerDay / static_cast<double>(series.Count - 1));
}

double RoundStep(double step, double uncertainty)
{
    // A step of few decimals (0.0001 s), or the step of a rate of few
    // decimals (29.97 Hz), fewest first.
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        const double byStep = std::round(step * scale) / scale;
        if (byStep > 0 && std::fabs(byStep - step) <= uncertainty)
            return byStep;
        const double rate = std::round(scale / step) / scale;
        if (rate > 0 && std::fabs(1 / rate - step) <= uncertainty)
            return 1 / rate;
    }
    return step;
}
