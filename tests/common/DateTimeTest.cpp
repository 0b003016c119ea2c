#include "common/DateTime.h"

#include <gtest/gtest.h>

TEST(DateTime, EncodesDatesAndTimesAsDaysSinceDayZero)
{
    EXPECT_EQ(EncodeDate(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(EncodeDate(QDate(1900, 1, 1)), 2.0);
    EXPECT_EQ(EncodeDate(QDate(2016, 10, 31)), 42674.0);
    EXPECT_EQ(EncodeTime(QTime(12, 0)), 0.5);
    EXPECT_EQ(EncodeTime(QTime(6, 0)), 0.25);
}

TEST(DateTime, DecodesBothSidesOfDayZero)
{
    struct Case {
        TDateTime value;
        QDateTime expected;
    };
    const Case cases[] = {
        {0.0, QDateTime(QDate(1899, 12, 30), QTime(0, 0))},
        {42674.5, QDateTime(QDate(2016, 10, 31), QTime(12, 0))},
        // The time of day counts forward also before day 0.
        {-1.25, QDateTime(QDate(1899, 12, 29), QTime(6, 0))},
        // Rounding to the millisecond may reach midnight: that is the next day.
        {0.9999999999, QDateTime(QDate(1899, 12, 31), QTime(0, 0))},
        {-0.9999999999, QDateTime(QDate(1899, 12, 31), QTime(0, 0))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DateTimeToQDateTime(c.value), c.expected) << c.value;
}

TEST(DateTime, CombinesADateWithATimeOfDay)
{
    EXPECT_EQ(CombineDateAndTime(42674.9, 0.25), 42674.25);
    EXPECT_EQ(CombineDateAndTime(0, 7.0 / 24), 7.0 / 24);
    // Before day 0 the time is subtracted so that the value keeps its date.
    EXPECT_EQ(CombineDateAndTime(-3, 0.25), -3.25);
    EXPECT_EQ(DateTimeToQDateTime(CombineDateAndTime(-3, 0.25)), QDateTime(QDate(1899, 12, 27), QTime(6, 0)));
}
