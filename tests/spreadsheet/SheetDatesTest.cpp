#include "spreadsheet/SheetDates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TDateTime Day(int year, int month, int day)
{
    return EncodeDate(QDate(year, month, day));
}

} // namespace

TEST(SheetDates, SerialsOfBothDateSystems)
{
    struct Case {
        double Serial;
        bool Date1904;
        bool TimeOfDay;
        TDateTime Expected;
    };
    const std::vector<Case> cases = {
        {0.5, false, true, 0.5},                       // 12:00 on day 0
        {0.5, false, false, 0.5},
        {1, false, false, Day(1900, 1, 1)},
        {59.25, false, false, Day(1900, 2, 28) + 0.25},
        {61, false, false, Day(1900, 3, 1)},
        {45352.25, false, false, Day(2024, 3, 1) + 0.25},
        {1.25, false, true, Day(1900, 1, 1) + 0.25},  // 30 elapsed hours
        {0, true, false, Day(1904, 1, 1)},
        {0.5, true, true, 0.5},
        {0.5, true, false, Day(1904, 1, 1) + 0.5},
        {43890.25, true, false, Day(2024, 3, 1) + 0.25},
    };
    for (const Case& test : cases)
        EXPECT_DOUBLE_EQ(ExcelSerialToDateTime(test.Serial, test.Date1904, test.TimeOfDay), test.Expected)
            << test.Serial << (test.Date1904 ? " 1904" : " 1900");
}

TEST(SheetDates, IsoDatesAndDurations)
{
    const std::vector<std::pair<std::string, TDateTime>> dates = {
        {"2024-03-01", Day(2024, 3, 1)},
        {"2024-03-01T08:00:00", Day(2024, 3, 1) + 8.0 / 24},
        {"2024-03-01T08:00:00.5", Day(2024, 3, 1) + (8 * 3600 + 0.5) / SecondsPerDay},
        {"08:30:00", 8.5 / 24},
        {"1899-12-29T06:00:00", -1.25},
    };
    for (const auto& [text, expected] : dates) {
        TDateTime value = 0;
        ASSERT_TRUE(ParseIsoDateTime(text, value)) << text;
        EXPECT_NEAR(value, expected, 1e-9) << text;
    }
    for (const char* bad : {"", "2024-02-30", "2024-03-01 08:00:00", "2024-03-01T25:00:00", "8:00:00", "abc"}) {
        TDateTime value = 0;
        EXPECT_FALSE(ParseIsoDateTime(bad, value)) << bad;
    }

    const std::vector<std::pair<std::string, double>> durations = {
        {"PT08H30M00S", 8.5 / 24},
        {"PT12H30M15.5S", (12 * 3600 + 30 * 60 + 15.5) / SecondsPerDay},
        {"P1DT6H", 1.25},
        {"-PT6H", -0.25},
        {"PT30H", 1.25},
    };
    for (const auto& [text, expected] : durations) {
        double days = 0;
        ASSERT_TRUE(ParseIsoDuration(text, days)) << text;
        EXPECT_NEAR(days, expected, 1e-12) << text;
    }
    for (const char* bad : {"", "P", "PT", "T8H", "PT8X", "P8H", "PT-8H", "PTinfH"}) {
        double days = 0;
        EXPECT_FALSE(ParseIsoDuration(bad, days)) << bad;
    }
}
