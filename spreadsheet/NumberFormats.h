#pragma once

#include "spreadsheet/SheetCells.h"

#include <map>
#include <string_view>

// What a cell's number format makes of the number it shows.
enum class TNumberFormatKind {
    Number,
    // A date, possibly with a time of day.
    Date,
    // A time without a date part: hours, minutes, seconds, AM/PM.
    TimeOfDay,
    Currency,
};

// Formats that Excel numbers and stores without their code: 14 to 22 and 45
// to 47 show dates and times, 5 to 8, 42 and 44 amounts of money.
TNumberFormatKind BuiltInNumberFormatKind(int id);

// A format code: a date when it holds date or time tokens (d, m, y, h, s,
// AM/PM, [h]) outside quotes, escapes and brackets; otherwise money when it
// shows a currency symbol, also inside quotes or as [$€-407]; otherwise a
// number.
TNumberFormatKind NumberFormatCodeKind(std::string_view code);

// The number formats of one workbook: its own codes by their ids, the
// built-in formats for the other ids.
class TNumberFormatTable {
public:
    void AddCode(long long id, std::string_view code) { mCodes[id] = NumberFormatCodeKind(code); }
    TNumberFormatKind KindOf(long long id) const;

private:
    std::map<long long, TNumberFormatKind> mCodes;
};

// A number as a cell with the given format shows it: a Date (a TDateTime) for
// dates and times, Currency for money, otherwise a Double.
TCell FormattedNumber(double number, TNumberFormatKind format, bool date1904);
