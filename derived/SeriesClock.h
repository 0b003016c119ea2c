#pragma once

#include "derived/PointsView.h"

#include <cstddef>

// The seconds of a series' points from its first point. A series sampled at
// an even rate is read as exactly that rate: TDateTime days near today hold
// times only to about 0.6 microseconds, which would be noise in differences
// of points 100 microseconds apart, and its step is the step or rate of
// fewest decimals that its times allow (0.0001 s rather than 0.00010000021).
class TSeriesClock {
public:
    explicit TSeriesClock(TPointsView series);

    double Seconds(std::size_t i) const
    {
        return mEven ? static_cast<double>(i) * mStep : (mPoints[i].X - mFirst) * mSecondsPerDay;
    }
    // True when every point lies where an even rate puts it, to the
    // precision of its TDateTime.
    bool Even() const { return mEven; }
    // The mean step in seconds; 0 for fewer than two points.
    double Step() const { return mStep; }

private:
    const TChartPoint* mPoints;
    double mFirst = 0;
    double mStep = 0;
    double mSecondsPerDay;
    bool mEven = false;
};

// The step of fewest decimals, or the step of the rate of fewest decimals,
// within `uncertainty` of `step` (all in seconds); `step` itself when there is
// none.
double RoundStep(double step, double uncertainty);
