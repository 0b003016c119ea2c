#include "import/TextFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> FieldsOf(std::string_view line, char delimiter)
{
    std::vector<std::string_view> fields{"left over from the line before"};
    SplitTextFields(line, delimiter, fields);
    return {fields.begin(), fields.end()};
}

char DelimiterNamed(const char* name)
{
    for (const TTextDelimiter& delimiter : TextDelimiters) {
        if (std::strcmp(delimiter.Name, name) == 0)
            return delimiter.Character;
    }
    ADD_FAILURE() << "no delimiter " << name;
    return 0;
}

struct Case {
    std::string_view line;
    std::vector<std::string> fields;
};

} // namespace

TEST(TextFields, DelimiterNames)
{
    EXPECT_EQ(DelimiterNamed("TAB"), '\t');
    EXPECT_EQ(DelimiterNamed("SPACE"), ' ');
    EXPECT_EQ(DelimiterNamed("COMMA"), ',');
}

TEST(TextFields, CommaGivesEmptyFieldsAndBlanksStillSeparate)
{
    const Case cases[] = {
        {"07:00:00, 1.5 ,x", {"07:00:00", "1.5", "x"}},
        {"1,,2", {"1", "", "2"}},
        {"1 ,  , 2", {"1", "", "2"}},
        {",1", {"", "1"}},
        {"1,", {"1", ""}},
        {",", {"", ""}},
        {"a b,c", {"a", "b", "c"}},
        {"\t a,b \t", {"a", "b"}},
        // Only a comma that is the very last character adds an empty field.
        {"a,b, ", {"a", "b"}},
        // Quotes are ordinary characters; control characters are blanks.
        {"\"a b\",c", {"\"a", "b\"", "c"}},
        {"1\x01" "2\x1f" "3", {"1", "2", "3"}},
        // Bytes above 127 are no blanks.
        {"\xa0x\xe9,y", {"\xa0x\xe9", "y"}},
        {"", {}},
        {" \t \x0b ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldsOf(c.line, ','), c.fields) << testing::PrintToString(std::string(c.line));
}

TEST(TextFields, TabAndSpaceSplitAlikeAndNeverGiveEmptyFields)
{
    const Case cases[] = {
        {"1,,2", {"1,,2"}},
        {"07:00:00\t1.5\t\t2", {"07:00:00", "1.5", "2"}},
        {"  a \t b  c\t", {"a", "b", "c"}},
        {"\t", {}},
        {"", {}},
    };
    for (const char delimiter : {'\t', ' '}) {
        for (const Case& c : cases) {
            EXPECT_EQ(FieldsOf(c.line, delimiter), c.fields)
                << testing::PrintToString(std::string(c.line)) << " delimiter " << int(delimiter);
        }
    }
}

TEST(TextFields, ALimitKeepsTheFirstFieldsOfTheFullSplit)
{
    const std::string_view lines[] = {"07:00:00, 1.5 ,x", "1,,2", "1,", ",", "a,b, ", "\t a,b \t", "", "a b c"};
    for (const std::string_view line : lines) {
        std::vector<std::string_view> all;
        SplitTextFields(line, ',', all);
        for (std::size_t limit = 0; limit <= all.size() + 1; ++limit) {
            std::vector<std::string_view> first{"left over"};
            SplitTextFields(line, ',', first, limit);
            const std::vector<std::string_view> expected(all.begin(), all.begin() + std::min(limit, all.size()));
            EXPECT_EQ(first, expected) << testing::PrintToString(std::string(line)) << " limit " << limit;
        }
    }
}
