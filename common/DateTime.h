#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// A date and time as a count of days since 30 December 1899; the fraction is
// the time of day. For days before that date the fraction still counts
// forward in time: -1.25 is 29 December 1899, 06:00.
using TDateTime = double;

constexpr double HoursPerDay = 24.0;
constexpr double SecondsPerDay = 24.0 * 60.0 * 60.0;
constexpr qint64 MSecsPerDay = 24LL * 60 * 60 * 1000;

// Day 0 of the TDateTime scale.
QDate DateTimeEpoch();

TDateTime EncodeDate(const QDate& date);
TDateTime EncodeTime(const QTime& time);
TDateTime DateTimeFromQDateTime(const QDateTime& value);

// Milliseconds since midnight, rounded to the nearest millisecond; a value that
// rounds up to midnight counts as the start of the next day.
qint64 TimeOfDayMSecs(TDateTime value);
QTime TimeOfDay(TDateTime value);
QDate DateOf(TDateTime value);
QDateTime DateTimeToQDateTime(TDateTime value);

// The whole days of a date value with the time of day of another placed on it:
// for a date before day 0 the time is subtracted, so the result still lies on
// that date.
TDateTime CombineDateAndTime(TDateTime date, TDateTime time);
