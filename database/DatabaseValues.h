#pragma once

#include "common/DateTime.h"

#include <QString>
#include <QStringList>

#include <string_view>

// Dates and times as SQL databases write them: "YYYY-MM-DD", optionally
// followed by a blank or "T" and a time; or a time alone, "HH:MM[:SS[.f]]",
// which lies on day 0. Fractions of a second count to the microsecond; a
// trailing zone ("Z", "+02", "-05:30") is ignored, the time being the wall
// clock time written. false for any other text.
bool ParseSqlDateTime(std::string_view text, TDateTime& value);
// A decimal number with a point, blanks around it allowed.
bool ParseSqlNumber(std::string_view text, double& value);

// The same parses for a field's value, throwing an Exception that names the
// field and the value when the text cannot be read.
TDateTime TimeFromText(std::string_view text, const QString& field);
double NumberFromText(std::string_view text, const QString& field);
// The error for a value of a kind that cannot be read in the required form.
[[noreturn]] void ThrowUnreadable(const QString& field, const QString& kind, bool asTime);

// The position of a field among the names of a result: the name as written,
// else the first that differs only in case. Throws when there is none.
int FieldPosition(const QStringList& names, const QString& name);

// "YYYY-MM-DD HH:MM:SS.ffffff", to the microsecond, of a wall-clock time;
// separator stands between date and time.
QString SqlDateTimeText(TDateTime value, QChar separator = QLatin1Char(' '));
// "HH:MM:SS.ffffff" of the time of day.
QString SqlTimeText(TDateTime value);

// Bounds that compare as text (character by character) against times written
// in those forms, to the microsecond or coarser, both ends included: the
// shortest text of the start, which no text of the same instant or later
// sorts before, and the longest text of the end, which no text of the same
// instant or earlier sorts after. Of a date and time, and of a time of day.
QString SqlStartText(TDateTime value, QChar separator = QLatin1Char(' '));
QString SqlEndText(TDateTime value, QChar separator = QLatin1Char(' '));
QString SqlStartTimeText(TDateTime value);
QString SqlEndTimeText(TDateTime value);

// SQLite's Julian day numbers.
double JulianDayFromDateTime(TDateTime value);
// Rounded to the millisecond, all that a Julian day number carries.
TDateTime DateTimeFromJulianDay(double julianDay);
// Unix seconds of a local wall-clock time, and back.
double UnixSecondsFromDateTime(TDateTime value);
TDateTime DateTimeFromUnixSeconds(double seconds);
