#pragma once

#include "logger/LoggerFile.h"

#include <cstddef>

// Turns the numbers of a time vector into clock times: seconds count from
// the time's Zero; MATLAB datenums count days from year 0 on the clock
// itself; POSIX seconds count from 1970 in UTC and are shown in local time.
class TLoggerClock {
public:
    explicit TLoggerClock(const TLoggerTime& time) : mTime(time) {}

    TDateTime operator()(double value);
    // The time of the sample at index, for channels timed by their index.
    TDateTime OfIndex(qint64 index) const;

private:
    TLoggerTime mTime;
    // The local time's offset from UTC in the hour last asked for.
    double mOffsetHour = -1;
    double mOffsetDays = 0;
};
