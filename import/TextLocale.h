#pragma once

#include <QDate>
#include <QLocale>

#include <array>
#include <string>

// The regional settings that decide how times and numbers are read from a text
// file, taken from a QLocale once per import so that reading a field does not
// go back to the locale.
struct TTextLocale {
    // currentYear completes dates written without a year and places one- and
    // two-digit years; it is the year of today unless a caller fixes it.
    explicit TTextLocale(const QLocale& locale, int currentYear = QDate::currentDate().year());

    // The order of day, month and year in the short date format: a permutation
    // of 'd', 'M' and 'y'.
    std::array<char, 3> DateOrder;
    char DateSeparator;
    char TimeSeparator;
    char DecimalSeparator;
    // The AM and PM designators as UTF-8 bytes.
    std::string AmText;
    std::string PmText;
    int CurrentYear;
};
