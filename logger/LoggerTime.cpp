#include "logger/LoggerTime.h"

#include <QDateTime>

#include <cmath>

namespace {

// Day 0 of TDateTime (30 December 1899) as a MATLAB datenum; the days from
// it to 1 January 1970.
constexpr double DatenumOfZero = 693960;
constexpr double DaysTo1970 = 25569;

} // namespace

TDateTime TLoggerClock::operator()(double value)
{
    switch (mTime.Unit) {
    case TLoggerTimeUnit::Seconds:
        return mTime.Zero + value / SecondsPerDay;
    case TLoggerTimeUnit::MatlabDatenum:
        return value - DatenumOfZero;
    case TLoggerTimeUnit::PosixSeconds: {
        // The zone's offset changes on the hour at most; asked once an hour
        // of samples.
        const double hour = std::floor(value / 3600);
        if (hour != mOffsetHour && std::isfinite(hour)) {
            const QDateTime utc = QDateTime::fromSecsSinceEpoch(qint64(hour) * 3600, Qt::UTC);
            mOffsetDays = utc.toLocalTime().offsetFromUtc() / SecondsPerDay;
            mOffsetHour = hour;
        }
        return value / SecondsPerDay + DaysTo1970 + mOffsetDays;
    }
    }
    return value;
}

TDateTime TLoggerClock::OfIndex(qint64 index) const
{
    return mTime.Zero + double(index) / SecondsPerDay;
}
