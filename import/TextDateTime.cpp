#include "import/TextDateTime.h"

#include "import/TextFields.h"

#include <QDate>

#include <cstdint>

namespace {

// Numbers in dates and times are small: larger ones are kept at this bound,
// which no check lets through.
constexpr int NumberBound = 1000000;

class TScanner {
public:
    explicit TScanner(std::string_view text) : mPos(text.data()), mEnd(text.data() + text.size()) {}

    bool AtEnd() const { return mPos == mEnd; }
    bool AtDigit() const { return mPos != mEnd && *mPos >= '0' && *mPos <= '9'; }

    void SkipBlanks()
    {
        while (mPos != mEnd && IsTextBlank(*mPos))
            ++mPos;
    }

    bool Char(char c)
    {
        if (mPos == mEnd || *mPos != c)
            return false;
        ++mPos;
        return true;
    }

    // Reads a run of digits; digitCount receives its length.
    bool Number(int& value, int& digitCount)
    {
        const char* const start = mPos;
        int number = 0;
        while (mPos != mEnd && *mPos >= '0' && *mPos <= '9') {
            number = number >= NumberBound ? NumberBound : number * 10 + (*mPos - '0');
            ++mPos;
        }
        digitCount = static_cast<int>(mPos - start);
        value = number;
        return digitCount > 0;
    }

    bool Number(int& value)
    {
        int digitCount = 0;
        return Number(value, digitCount);
    }

    // Reads the digits of a decimal fraction of a second as milliseconds,
    // rounded to the nearest one.
    bool Milliseconds(int& value)
    {
        const char* const start = mPos;
        int milliseconds = 0;
        int scale = 100;
        bool roundUp = false;
        for (; mPos != mEnd && *mPos >= '0' && *mPos <= '9'; ++mPos) {
            const int digit = *mPos - '0';
            if (scale > 0)
                milliseconds += digit * scale;
            else if (scale == 0)
                roundUp = digit >= 5;
            scale = scale > 0 ? scale / 10 : -1;
        }
        value = milliseconds + (roundUp ? 1 : 0);
        return mPos != start;
    }

    // Steps over word when the text goes on with it, ignoring the case of
    // ASCII letters.
    bool Word(const std::string& word)
    {
        if (word.empty() || static_cast<std::size_t>(mEnd - mPos) < word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (LowerAscii(mPos[i]) != LowerAscii(word[i]))
                return false;
        }
        mPos += word.size();
        return true;
    }

private:
    static char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

    const char* mPos;
    const char* mEnd;
};

enum class TDayHalf { None, Am, Pm };

TDayHalf ScanDayHalf(TScanner& scanner, const TTextLocale& locale)
{
    static const std::string am = "AM";
    static const std::string pm = "PM";
    if (scanner.Word(locale.AmText) || scanner.Word(am))
        return TDayHalf::Am;
    if (scanner.Word(locale.PmText) || scanner.Word(pm))
        return TDayHalf::Pm;
    return TDayHalf::None;
}

// Reads a time that must reach the end of the text.
bool ScanTime(TScanner& scanner, const TTextLocale& locale, TDateTime& time)
{
    scanner.SkipBlanks();
    TDayHalf half = TDayHalf::None;
    if (!scanner.AtDigit()) {
        half = ScanDayHalf(scanner, locale);
        scanner.SkipBlanks();
    }

    int hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
    if (!scanner.Number(hours))
        return false;
    if (scanner.Char(locale.TimeSeparator)) {
        if (!scanner.Number(minutes))
            return false;
        if (scanner.Char(locale.TimeSeparator)) {
            if (!scanner.Number(seconds))
                return false;
            if (scanner.Char(locale.DecimalSeparator) && !scanner.Milliseconds(milliseconds))
                return false;
        }
    }

    scanner.SkipBlanks();
    if (half == TDayHalf::None && !scanner.AtEnd()) {
        half = ScanDayHalf(scanner, locale);
        scanner.SkipBlanks();
    }
    if (!scanner.AtEnd())
        return false;

    if (half != TDayHalf::None) {
        if (hours < 1 || hours > 12)
            return false;
        hours %= 12;
        if (half == TDayHalf::Pm)
            hours += 12;
    }
    if (hours >= 24 || minutes >= 60 || seconds >= 60)
        return false;
    const std::int64_t total = ((hours * 60LL + minutes) * 60 + seconds) * 1000 + milliseconds;
    time = static_cast<double>(total) / static_cast<double>(MSecsPerDay);
    return true;
}

int PlaceYear(int year, int digitCount, int currentYear)
{
    if (digitCount > 2)
        return year;
    const int first = currentYear - 50;
    int placed = first - first % 100 + year;
    if (placed < first)
        placed += 100;
    return placed;
}

// Reads a date, optionally followed by a time, that must reach the end of the
// text.
bool ScanDateTime(TScanner& scanner, const TTextLocale& locale, TDateTime& value)
{
    scanner.SkipBlanks();
    int numbers[3] = {};
    int digitCounts[3] = {};
    if (!scanner.Number(numbers[0], digitCounts[0]) || !scanner.Char(locale.DateSeparator)
        || !scanner.Number(numbers[1], digitCounts[1]))
        return false;
    int count = 2;
    if (scanner.Char(locale.DateSeparator)) {
        if (scanner.Number(numbers[2], digitCounts[2]))
            count = 3;
        else
            scanner.SkipBlanks();
    }

    int day = 0, month = 0, year = locale.CurrentYear;
    int next = 0;
    for (const char part : locale.DateOrder) {
        if (part == 'y' && count == 2)
            continue;
        const int number = numbers[next];
        if (part == 'd')
            day = number;
        else if (part == 'M')
            month = number;
        else
            year = PlaceYear(number, digitCounts[next], locale.CurrentYear);
        ++next;
    }
    if (year < 1 || year > 9999)
        return false;
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;

    // A date separator may close the date before the time.
    if (count == 3)
        scanner.Char(locale.DateSeparator);
    scanner.SkipBlanks();
    TDateTime time = 0;
    if (!scanner.AtEnd() && !ScanTime(scanner, locale, time))
        return false;
    value = CombineDateAndTime(EncodeDate(date), time);
    return true;
}

} // namespace

TDateTime ParseTextDateTime(std::string_view text, const TTextLocale& locale)
{
    TDateTime value = 0;
    TScanner dateScanner(text);
    if (ScanDateTime(dateScanner, locale, value))
        return value;
    TScanner timeScanner(text);
    if (ScanTime(timeScanner, locale, value))
        return value;
    return 0;
}
