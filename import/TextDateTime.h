#pragma once

#include "common/DateTime.h"
#include "import/TextLocale.h"

#include <string_view>

// Reads a field as a date, optionally followed by a time, or as a time alone,
// by the regional settings in locale.
//
// A date is two or three numbers joined by the date separator in the order of
// the short date format; two numbers take the current year, and a year of one
// or two digits lies between 50 years before the current year and 49 after it.
// A date separator and blanks may follow the date, then a time.
//
// A time is hours, optionally the time separator and minutes, optionally the
// time separator and seconds, optionally the decimal separator and a fraction
// of a second (kept to the millisecond). "AM" or "PM", or the locale's
// designators, may stand before or after it; the hour is then 1 to 12, 12
// counting as 0 before PM adds 12. Otherwise hours are below 24; minutes and
// seconds are below 60. A number alone is an hour. A time alone lies on day 0,
// a date alone at its midnight.
//
// Returns 0 for a text that is no date or time.
TDateTime ParseTextDateTime(std::string_view text, const TTextLocale& locale);
