#include "import/TextNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NumberCase {
    const char* text;
    double value;
};

} // namespace

TEST(TextNumber, ReadsNumbersWithTheLocaleDecimalSeparator)
{
    struct Case {
        char separator;
        NumberCase number;
    };
    const Case cases[] = {
        {'.', {"1.5", 1.5}},
        {'.', {"-2.25", -2.25}},
        {'.', {"+3", 3}},
        {'.', {"42", 42}},
        {'.', {".5", 0.5}},
        {'.', {"5.", 5}},
        {'.', {"3e-3", 0.003}},
        {'.', {"1E5", 1e5}},
        {'.', {"-1.5e+2", -150}},
        {'.', {"0.1", 0.1}},
        {'.', {"123456789012345678901234567890", 123456789012345678901234567890.0}},
        {'.', {"1e-400", 0}},
        // An exponent letter without digits is the exponent 0.
        {'.', {"1e", 1}},
        {'.', {"2.5E+", 2.5}},
        {'.', {"-4e-", -4}},
        // A lone decimal separator reads as 0.
        {'.', {".", 0}},
        {'.', {"-.", 0}},
        {',', {",", 0}},
        {',', {"1,5", 1.5}},
        {',', {"-0,25e2", -25}},
        {',', {"+7", 7}},
    };
    for (const Case& c : cases) {
        double value = -999;
        EXPECT_TRUE(TryParseTextNumber(c.number.text, c.separator, value)) << c.number.text;
        EXPECT_EQ(value, c.number.value) << c.number.text;
    }
}

TEST(TextNumber, RefusesWhatIsNoNumber)
{
    struct Case {
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {'.', ""},      {'.', "-"},      {'.', "+"},      {'.', "e5"},       {'.', "-e5"},
        {'.', "1.2.3"}, {'.', "1,5"},    {'.', "1,000"},  {'.', "1 000"},    {'.', " 1"},
        {'.', "1 "},    {'.', "inf"},    {'.', "-inf"},   {'.', "infinity"}, {'.', "nan"},
        {'.', "NaN"},   {'.', "0x1A"},   {'.', "1e400"},  {'.', "-1e400"},   {'.', "--1"},
        {'.', "+-1"},   {'.', "-+1"},    {'.', "1e5.5"},  {'.', "1e5e5"},    {'.', "1d5"},
        {'.', "5%"},    {'.', "x"},      {'.', "1.5x"},   {',', "1.5"},      {',', "1,5,"},
        {',', "1.000,5"},
    };
    for (const Case& c : cases) {
        double value = -999;
        EXPECT_FALSE(TryParseTextNumber(c.text, c.separator, value)) << c.text << " with " << c.separator;
        EXPECT_EQ(value, -999) << c.text;
    }
}

TEST(TextNumber, ReadsAViewWithoutLookingPastItsEnd)
{
    const std::string text = "12.5e3,7";
    double value = 0;
    EXPECT_TRUE(TryParseTextNumber(std::string_view(text).substr(0, 4), '.', value));
    EXPECT_EQ(value, 12.5);
    EXPECT_TRUE(TryParseTextNumber(std::string_view(text).substr(0, 5), '.', value));
    EXPECT_EQ(value, 12.5);
}
