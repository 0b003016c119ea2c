#include "common/DateTime.h"

#include <cmath>

QDate DateTimeEpoch()
{
    return QDate(1899, 12, 30);
}

TDateTime EncodeDate(const QDate& date)
{
    return static_cast<double>(DateTimeEpoch().daysTo(date));
}

TDateTime EncodeTime(const QTime& time)
{
    return static_cast<double>(time.msecsSinceStartOfDay()) / static_cast<double>(MSecsPerDay);
}

TDateTime DateTimeFromQDateTime(const QDateTime& value)
{
    return CombineDateAndTime(EncodeDate(value.date()), EncodeTime(value.time()));
}

qint64 TimeOfDayMSecs(TDateTime value)
{
    double whole = 0;
    const double fraction = std::fabs(std::modf(value, &whole));
    return std::llround(fraction * static_cast<double>(MSecsPerDay));
}

QTime TimeOfDay(TDateTime value)
{
    const qint64 ms = TimeOfDayMSecs(value);
    return QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms % MSecsPerDay));
}

QDate DateOf(TDateTime value)
{
    const qint64 days = static_cast<qint64>(std::trunc(value));
    // The time of day counts forward on both sides of day 0, so rounding up to
    // midnight always moves to the following day.
    const qint64 carry = TimeOfDayMSecs(value) >= MSecsPerDay ? 1 : 0;
    return DateTimeEpoch().addDays(days + carry);
}

QDateTime DateTimeToQDateTime(TDateTime value)
{
    return QDateTime(DateOf(value), TimeOfDay(value));
}

TDateTime CombineDateAndTime(TDateTime date, TDateTime time)
{
    const double days = std::trunc(date);
    double whole = 0;
    const double fraction = std::fabs(std::modf(time, &whole));
    return days < 0 ? days - fraction : days + fraction;
}
