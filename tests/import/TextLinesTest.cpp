#include "import/TextLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_view_literals;

namespace {

std::vector<std::string> LinesOf(std::string_view text)
{
    std::vector<std::string> result;
    TTextLines lines(text);
    std::string_view line;
    while (lines.Next(line))
        result.emplace_back(line);
    return result;
}

} // namespace

TEST(TextLines, CutsAtEveryKindOfLineEnd)
{
    struct Case {
        std::string_view text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {""sv, {}},
        {"a"sv, {"a"}},
        {"a\n"sv, {"a"}},
        {"a\r\n"sv, {"a"}},
        {"\n"sv, {""}},
        {"a\n\n"sv, {"a", ""}},
        {"a\r\n\r\n"sv, {"a", ""}},
        {"a\r\nb\rc\nd"sv, {"a", "b", "c", "d"}},
        // A CR before CR LF ends a line of its own; so does a CR after an LF.
        {"a\r\r\nb"sv, {"a", "", "b"}},
        {"a\n\rb"sv, {"a", "", "b"}},
        {"\r\r"sv, {"", ""}},
        // A zero byte ends the text wherever it stands.
        {"a\0b\nc"sv, {"a"}},
        {"a\n\0\n\n"sv, {"a"}},
        {"\0abc\n"sv, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LinesOf(c.text), c.lines) << testing::PrintToString(std::string(c.text));
}
