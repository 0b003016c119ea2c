#include "spreadsheet/NumberFormats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(NumberFormats, CodesAreDatesByTheirTokensOutsideQuotesAndBracketsAndMoneyByTheirSymbols)
{
    using K = TNumberFormatKind;
    const std::vector<std::pair<std::string, K>> cases = {
        {"General", K::Number},
        {"0.00", K::Number},
        {"0.00E+00", K::Number},
        {"0%", K::Number},
        {"yyyy-mm-dd", K::Date},
        {"dd.mm.yyyy hh:mm", K::Date},
        {"mmm d, yyyy h:mm AM/PM", K::Date},
        {"mm/yy", K::Date},
        {"hh:mm:ss", K::TimeOfDay},
        {"h:mm AM/PM", K::TimeOfDay},
        {"mm:ss.0", K::TimeOfDay},
        {"[h]:mm:ss", K::TimeOfDay},
        {"[Red]hh:mm", K::TimeOfDay},
        {"0.0 \"hours\"", K::Number},
        {"0\\h", K::Number},
        {"[Red]0.00", K::Number},
        {"[$-409]0.00", K::Number},
        {"[$-409]dddd, mmmm d", K::Date},
        {"#,##0.00 [$\xE2\x82\xAC-407]", K::Currency},
        {"\"$\"#,##0.00_);(\"$\"#,##0.00)", K::Currency},
        {"$#,##0", K::Currency},
        {"#,##0.00 \xE2\x82\xAC", K::Currency},
        {"\\$0.00", K::Currency},
        {"_($* #,##0_)", K::Currency},
        {"_(* #,##0_)", K::Number},
        {"0.00;[Red]-0.00;\"zero\"", K::Number},
    };
    for (const auto& [code, kind] : cases)
        EXPECT_EQ(NumberFormatCodeKind(code), kind) << code;
}

TEST(NumberFormats, BuiltInIdsOfDatesTimesAndMoney)
{
    using K = TNumberFormatKind;
    for (int id = 0; id < 200; ++id) {
        K expected = K::Number;
        if ((id >= 14 && id <= 17) || id == 22)
            expected = K::Date;
        else if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47))
            expected = K::TimeOfDay;
        else if ((id >= 5 && id <= 8) || id == 42 || id == 44)
            expected = K::Currency;
        EXPECT_EQ(BuiltInNumberFormatKind(id), expected) << id;
    }
}
