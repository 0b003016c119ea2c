#include "import/TextDateTime.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Today is fixed in 2024: years written with two digits lie in 1974 .. 2073.
constexpr int CurrentYear = 2024;

TDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int ms = 0)
{
    return DateTimeFromQDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second, ms)));
}

TDateTime Time(int hour, int minute = 0, int second = 0, int ms = 0)
{
    return EncodeTime(QTime(hour, minute, second, ms));
}

struct Case {
    const char* locale;
    const char* text;
    TDateTime expected;
};

void Check(const Case& c)
{
    const TTextLocale locale{QLocale(QString::fromLatin1(c.locale)), CurrentYear};
    EXPECT_EQ(ParseTextDateTime(c.text, locale), c.expected) << c.locale << " \"" << c.text << "\"";
}

} // namespace

TEST(TextDateTime, TakesTheDateFormatOfTheLocale)
{
    const Case cases[] = {
        {"en_US", "1/5/2024", At(2024, 1, 5)},
        {"en_US", "01/05/24", At(2024, 1, 5)},
        {"en_US", "1/5", At(2024, 1, 5)},
        {"en_US", "13/1/2024", 0},
        {"en_US", "2/29/2024", At(2024, 2, 29)},
        {"en_US", "2/29/2023", 0},
        {"en_US", "2/30/2024", 0},
        {"en_US", "0/5/2024", 0},
        {"en_US", "1/5/0", At(2000, 1, 5)},
        {"en_US", "1/5/2024/", At(2024, 1, 5)},
        {"en_US", "1/5/12024", 0},
        {"en_GB", "13/01/2024", At(2024, 1, 13)},
        {"en_GB", "1/13/2024", 0},
        {"en_GB", "05/01", At(2024, 1, 5)},
        {"de_DE", "05.01.2024", At(2024, 1, 5)},
        {"de_DE", "5.1.", At(2024, 1, 5)},
        {"de_DE", "05/01/2024", 0},
        {"nl_NL", "05-01-2024", At(2024, 1, 5)},
        {"ja_JP", "2024/01/05", At(2024, 1, 5)},
        {"ja_JP", "24/1/5", At(2024, 1, 5)},
        {"ja_JP", "1/5", At(2024, 1, 5)},
        {"hu_HU", "2024.01.05.", At(2024, 1, 5)},
        // A date before day 0 is negative; day 0 itself reads as "no date".
        {"en_US", "12/29/1899", -1},
        {"en_US", "12/30/1899", 0},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TextDateTime, PlacesShortYearsAroundTheCurrentYear)
{
    const Case cases[] = {
        {"en_US", "1/1/74", At(1974, 1, 1)},
        {"en_US", "12/31/73", At(2073, 12, 31)},
        {"en_US", "1/1/99", At(1999, 1, 1)},
        {"en_US", "1/1/5", At(2005, 1, 1)},
        // Three digits are the year as written.
        {"en_US", "1/1/074", At(74, 1, 1)},
        {"de_DE", "1.1.74", At(1974, 1, 1)},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TextDateTime, ReadsADateFollowedByATime)
{
    const Case cases[] = {
        {"en_US", "1/5/2024 7:30", At(2024, 1, 5, 7, 30)},
        {"en_US", "1/5/2024/7:30:15.250", At(2024, 1, 5, 7, 30, 15, 250)},
        {"en_US", "1/5/2024 7:30 PM", At(2024, 1, 5, 19, 30)},
        {"en_US", "1/5 7:30", At(2024, 1, 5, 7, 30)},
        {"de_DE", "05.01.2024 07:30:15,5", At(2024, 1, 5, 7, 30, 15, 500)},
        {"en_US", "1/5/2024 7:30 x", 0},
        {"en_US", "1/5/2024 25:00", 0},
        // Before day 0 the time still counts forward within its date.
        {"en_US", "12/29/1899 6:00", -1.25},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TextDateTime, ReadsATimeAloneOnDayZero)
{
    const Case cases[] = {
        {"en_US", "07:00:01.250", Time(7, 0, 1, 250)},
        {"en_US", "7:30", Time(7, 30)},
        {"en_US", "7", Time(7)},
        {"en_US", "23:59:59.999", Time(23, 59, 59, 999)},
        {"en_US", "00:00:00", 0},
        // Digits after the decimal separator are a fraction of a second.
        {"en_US", "7:00:01.5", Time(7, 0, 1, 500)},
        {"en_US", "7:00:01.05", Time(7, 0, 1, 50)},
        {"en_US", "7:00:01.2496", Time(7, 0, 1, 250)},
        {"en_US", "7:00:01.2494", Time(7, 0, 1, 249)},
        {"de_DE", "07:00:01,5", Time(7, 0, 1, 500)},
        {"de_DE", "07:00:01.5", 0},
        {"en_US", "07:00:01,5", 0},
        {"en_US", "24:00", 0},
        {"en_US", "7:60", 0},
        {"en_US", "7:00:60", 0},
        {"en_US", "7:", 0},
        {"en_US", "7:00:", 0},
        {"en_US", "7:00:01.", 0},
        {"en_US", "7.5", 0},
        {"en_US", "-7:00", 0},
        {"en_US", "7:00x", 0},
        {"en_US", "99999999999999999999:00", 0},
        {"en_US", "Time", 0},
        {"en_US", "", 0},
        // The time separator of the locale; with it equal to the date
        // separator the date is tried first.
        {"fi_FI", "7.30", Time(7, 30)},
        {"fi_FI", "7.30.15,5", Time(7, 30, 15, 500)},
        {"fi_FI", "7.3", At(2024, 3, 7)},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TextDateTime, ReadsAmAndPmBeforeOrAfterTheTime)
{
    const Case cases[] = {
        {"en_US", "7:30 PM", Time(19, 30)},
        {"en_US", "7:30PM", Time(19, 30)},
        {"en_US", "7:30:15.250pm", Time(19, 30, 15, 250)},
        {"en_US", "PM 7:30", Time(19, 30)},
        {"en_US", "PM7", Time(19)},
        {"en_US", "7 AM", Time(7)},
        {"en_US", "12:30 AM", Time(0, 30)},
        {"en_US", "12:30 PM", Time(12, 30)},
        {"en_US", "12:00:01 AM", Time(0, 0, 1)},
        {"en_US", "0:30 AM", 0},
        {"en_US", "13:00 PM", 0},
        {"en_US", "AM 7:30 PM", 0},
        {"en_US", "7:30 P", 0},
        {"en_GB", "7:30 pm", Time(19, 30)},
        {"en_GB", "7:30 PM", Time(19, 30)},
        {"nl_NL", "7:30p.m.", Time(19, 30)},
        {"nl_NL", "7:30 PM", Time(19, 30)},
        {"ja_JP", "\xe5\x8d\x88\xe5\xbe\x8c" "7:30", Time(19, 30)},
        {"ja_JP", "\xe5\x8d\x88\xe5\x89\x8d" "7:30", Time(7, 30)},
    };
    for (const Case& c : cases)
        Check(c);
}

TEST(TextDateTime, CollectsTheLocaleFacts)
{
    struct FactsCase {
        const char* locale;
        std::string order;
        char dateSeparator;
        char timeSeparator;
        char decimalSeparator;
    };
    const FactsCase cases[] = {
        {"en_US", "Mdy", '/', ':', '.'},
        {"en_GB", "dMy", '/', ':', '.'},
        {"de_DE", "dMy", '.', ':', ','},
        {"nl_NL", "dMy", '-', ':', ','},
        {"ja_JP", "yMd", '/', ':', '.'},
        {"fi_FI", "dMy", '.', '.', ','},
        {"ko_KR", "yMd", '.', ':', '.'},
        // Quoted text is no time separator; direction marks are no date
        // separator; a decimal separator beyond ASCII falls back to a point.
        {"fr_CA", "yMd", '-', ':', ','},
        {"ar_EG", "dMy", '/', ':', '.'},
    };
    for (const FactsCase& c : cases) {
        const TTextLocale facts{QLocale(QString::fromLatin1(c.locale)), CurrentYear};
        EXPECT_EQ(std::string(facts.DateOrder.begin(), facts.DateOrder.end()), c.order) << c.locale;
        EXPECT_EQ(facts.DateSeparator, c.dateSeparator) << c.locale;
        EXPECT_EQ(facts.TimeSeparator, c.timeSeparator) << c.locale;
        EXPECT_EQ(facts.DecimalSeparator, c.decimalSeparator) << c.locale;
        EXPECT_EQ(facts.CurrentYear, CurrentYear);
    }
}
