#pragma once

#include "common/DateTime.h"

#include <algorithm>
#include <cmath>
#include <limits>

// The time span a load keeps: from the start translation time to that time
// plus the length of the video, both ends included.
struct TLoadWindow {
    TDateTime Start;
    TDateTime End;

    // The end is the start plus the video's length, computed otherwise than a
    // time read from a source, so a time written exactly at an end can miss it
    // in the last bits; the window takes in that rounding (times in sources
    // are far coarser).
    bool Contains(TDateTime t) const
    {
        const double slack = 4 * std::numeric_limits<double>::epsilon()
                             * std::max({1.0, std::fabs(Start), std::fabs(End)});
        return Start - slack <= t && t <= End + slack;
    }
};
