#include "spreadsheet/SheetDates.h"

#include "common/Digits.h"

#include <fast_float/fast_float.h>

#include <cmath>

namespace {

// Day 0 of the 1904 system, 1 January 1904, as a TDateTime.
constexpr double Epoch1904 = 1462;
// 1 March 1900, the first serial that TDateTime counts the same.
constexpr double FirstCommonSerial = 61;

// "HH:MM:SS[.fff]" as a fraction of a day.
bool ParseTimeOfDay(std::string_view text, double& fraction)
{
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    if (text.size() < 8 || !ReadDigits(text, 0, 2, hours) || text[2] != ':' || !ReadDigits(text, 3, 2, minutes)
        || text[5] != ':' || !ReadDigits(text, 6, 2, seconds) || hours > 23 || minutes > 59 || seconds > 59)
        return false;
    double partial = 0;
    if (text.size() > 8) {
        if (text[8] != '.' || text.size() == 9)
            return false;
        const std::string_view rest = text.substr(8);
        const auto result = fast_float::from_chars(rest.data(), rest.data() + rest.size(), partial);
        if (result.ec != std::errc() || result.ptr != rest.data() + rest.size())
            return false;
    }
    fraction = (hours * 3600.0 + minutes * 60.0 + seconds + partial) / SecondsPerDay;
    return true;
}

} // namespace

TDateTime ExcelSerialToDateTime(double serial, bool date1904, bool timeOfDay)
{
    if (date1904)
        return timeOfDay && serial >= 0 && serial < 1 ? serial : serial + Epoch1904;
    if (serial >= 1 && serial < FirstCommonSerial - 1)
        return serial + 1;
    return serial;
}

bool ParseIsoDateTime(std::string_view text, TDateTime& value)
{
    if (text.size() >= 3 && text[2] == ':')
        return ParseTimeOfDay(text, value);
    int year = 0;
    int month = 0;
    int day = 0;
    if (text.size() < 10 || !ReadDigits(text, 0, 4, year) || text[4] != '-' || !ReadDigits(text, 5, 2, month)
        || text[7] != '-' || !ReadDigits(text, 8, 2, day))
        return false;
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;
    double fraction = 0;
    if (text.size() > 10 && (text[10] != 'T' || !ParseTimeOfDay(text.substr(11), fraction)))
        return false;
    value = CombineDateAndTime(EncodeDate(date), fraction);
    return true;
}

bool ParseIsoDuration(std::string_view text, double& days)
{
    std::size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        ++pos;
    if (pos >= text.size() || text[pos] != 'P')
        return false;
    ++pos;
    bool inTime = false;
    bool any = false;
    double seconds = 0;
    while (pos < text.size()) {
        if (text[pos] == 'T' && !inTime) {
            inTime = true;
            ++pos;
            continue;
        }
        double number = 0;
        const auto result = fast_float::from_chars(text.data() + pos, text.data() + text.size(), number,
                                                   fast_float::chars_format::fixed);
        if (result.ec != std::errc() || result.ptr == text.data() + text.size() || !std::isfinite(number)
            || number < 0)
            return false;
        pos = static_cast<std::size_t>(result.ptr - text.data());
        const char unit = text[pos++];
        if (!inTime && unit == 'D')
            seconds += number * SecondsPerDay;
        else if (inTime && unit == 'H')
            seconds += number * 3600;
        else if (inTime && unit == 'M')
            seconds += number * 60;
        else if (inTime && unit == 'S')
            seconds += number;
        else
            return false;
        any = true;
    }
    if (!any)
        return false;
    days = (negative ? -seconds : seconds) / SecondsPerDay;
    return true;
}
