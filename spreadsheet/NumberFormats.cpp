#include "spreadsheet/NumberFormats.h"

#include "spreadsheet/SheetDates.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

// The currency symbols a format may show, in UTF-8.
constexpr std::array<std::string_view, 8> CurrencySymbols = {"$", "\xE2\x82\xAC", "\xC2\xA3", "\xC2\xA5",
                                                             "\xC2\xA4", "\xE2\x82\xB9", "\xE2\x82\xBD", "\xE2\x82\xA9"};

bool HoldsCurrencySymbol(std::string_view text)
{
    for (std::string_view symbol : CurrencySymbols) {
        if (text.find(symbol) != std::string_view::npos)
            return true;
    }
    return false;
}

// The length of the currency symbol at the start of text; 0 when none is.
std::size_t CurrencySymbolAt(std::string_view text)
{
    for (std::string_view symbol : CurrencySymbols) {
        if (text.substr(0, symbol.size()) == symbol)
            return symbol.size();
    }
    return 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

struct TTokens {
    bool DatePart = false;
    bool TimePart = false;
    // "m" is a month unless hours or seconds are shown as well.
    bool MonthOrMinute = false;
    bool Currency = false;
};

// The inside of [...]: elapsed time ([h], [mm], [ss]) or a locale, which
// names a currency symbol before its '-' ([$€-407]; [$-409] names none).
void ReadBracket(std::string_view inside, TTokens& tokens)
{
    if (!inside.empty() && inside[0] == '$') {
        const std::size_t dash = inside.find('-');
        if (inside.substr(1, dash == std::string_view::npos ? dash : dash - 1).size() > 0)
            tokens.Currency = true;
        return;
    }
    if (inside.empty())
        return;
    for (char c : inside) {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower != 'h' && lower != 'm' && lower != 's')
            return;
    }
    tokens.TimePart = true;
}

} // namespace

TNumberFormatKind BuiltInNumberFormatKind(int id)
{
    if ((id >= 14 && id <= 17) || id == 22)
        return TNumberFormatKind::Date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47))
        return TNumberFormatKind::TimeOfDay;
    if ((id >= 5 && id <= 8) || id == 42 || id == 44)
        return TNumberFormatKind::Currency;
    return TNumberFormatKind::Number;
}

TNumberFormatKind NumberFormatCodeKind(std::string_view code)
{
    TTokens tokens;
    std::size_t i = 0;
    while (i < code.size()) {
        const char c = code[i];
        if (c == '"') {
            const std::size_t end = code.find('"', i + 1);
            const std::string_view quoted = code.substr(i + 1, end == std::string_view::npos ? end : end - i - 1);
            tokens.Currency = tokens.Currency || HoldsCurrencySymbol(quoted);
            i = end == std::string_view::npos ? code.size() : end + 1;
        } else if (c == '[') {
            const std::size_t end = code.find(']', i + 1);
            ReadBracket(code.substr(i + 1, end == std::string_view::npos ? end : end - i - 1), tokens);
            i = end == std::string_view::npos ? code.size() : end + 1;
        } else if (c == '\\' || c == '_' || c == '*') {
            // The next character is shown, padded or repeated as it is.
            const std::size_t symbol = CurrencySymbolAt(code.substr(std::min(i + 1, code.size())));
            tokens.Currency = tokens.Currency || (c == '\\' && symbol > 0);
            i += 1 + std::max<std::size_t>(symbol, 1);
        } else if (const std::size_t symbol = CurrencySymbolAt(code.substr(i)); symbol > 0) {
            tokens.Currency = true;
            i += symbol;
        } else if (StartsWithNoCase(code.substr(i), "am/pm")) {
            tokens.TimePart = true;
            i += 5;
        } else if (StartsWithNoCase(code.substr(i), "a/p")) {
            tokens.TimePart = true;
            i += 3;
        } else {
            switch (std::tolower(static_cast<unsigned char>(c))) {
            case 'd':
            case 'y':
                tokens.DatePart = true;
                break;
            case 'h':
            case 's':
                tokens.TimePart = true;
                break;
            case 'm':
                tokens.MonthOrMinute = true;
                break;
            default:
                break;
            }
            ++i;
        }
    }
    const bool month = tokens.MonthOrMinute && !tokens.TimePart;
    if (tokens.DatePart || month)
        return TNumberFormatKind::Date;
    if (tokens.TimePart)
        return TNumberFormatKind::TimeOfDay;
    if (tokens.Currency)
        return TNumberFormatKind::Currency;
    return TNumberFormatKind::Number;
}

TNumberFormatKind TNumberFormatTable::KindOf(long long id) const
{
    const auto code = mCodes.find(id);
    return code != mCodes.end() ? code->second : BuiltInNumberFormatKind(static_cast<int>(std::clamp(id, -1LL, 1000LL)));
}

TCell FormattedNumber(double number, TNumberFormatKind format, bool date1904)
{
    switch (format) {
    case TNumberFormatKind::Date:
    case TNumberFormatKind::TimeOfDay:
        return {TCellKind::Date, ExcelSerialToDateTime(number, date1904, format == TNumberFormatKind::TimeOfDay)};
    case TNumberFormatKind::Currency:
        return {TCellKind::Currency, number};
    case TNumberFormatKind::Number:
        break;
    }
    return {TCellKind::Double, number};
}
