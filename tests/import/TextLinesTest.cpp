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

namespace {

// Feeds blocks to a scan as the text import does: the rest the last call
// left, then the next block. Returns the complete text each call gave.
std::vector<std::string> CompleteParts(TLineEndScan& scan, const std::vector<std::string>& blocks)
{
    std::vector<std::string> parts;
    std::string buffer;
    for (const std::string& block : blocks) {
        buffer += block;
        const std::size_t end = scan.CompleteEnd(buffer);
        parts.push_back(buffer.substr(0, end));
        buffer.erase(0, end);
    }
    return parts;
}

} // namespace

TEST(TextLines, LineEndScanFindsCompleteLinesAcrossBlocks)
{
    TLineEndScan scan;
    // A CR at a block's end waits for a possible LF; a line runs over blocks.
    EXPECT_EQ(CompleteParts(scan, {"ab\r", "\ncd", "ef", "g\rh", "\r", "i\n", "j"}),
              (std::vector<std::string>{"", "ab\r\n", "", "cdefg\r", "", "h\ri\n", ""}));
}

TEST(TextLines, LineEndScanLooksAtEachByteOfALongLineOnce)
{
    TLineEndScan scan;
    const std::size_t blockSize = 4096;
    const std::size_t blockCount = 200;
    std::vector<std::string> blocks(blockCount, std::string(blockSize, 'x'));
    blocks.back().back() = '\n';
    const std::vector<std::string> parts = CompleteParts(scan, blocks);
    EXPECT_EQ(parts.back().size(), blockSize * blockCount);
    EXPECT_LE(scan.Scanned(), blockSize * blockCount + 2 * blockCount);
}
