#include "marks/MarkLayout.h"
#include "marks/MarksDrawing.h"

#include <gtest/gtest.h>

namespace {

TMarkList ListOf(std::initializer_list<std::pair<double, double>> marks)
{
    std::vector<TMark> list;
    for (const auto& [seconds, length] : marks) {
        TMark mark;
        mark.Seconds = seconds;
        mark.Length = length;
        list.push_back(mark);
    }
    TMarkList result;
    result.Reset(list);
    return result;
}

struct TGlyphCounts {
    std::vector<int> Counts;
    std::vector<int> Lefts;
};

TGlyphCounts Counts(const std::vector<TMarkGlyph>& glyphs)
{
    TGlyphCounts result;
    for (const TMarkGlyph& glyph : glyphs) {
        result.Counts.push_back(glyph.Count);
        result.Lefts.push_back(static_cast<int>(glyph.Left));
    }
    return result;
}

} // namespace

TEST(MarkLayout, MarksCloserThanTheGapJoinOneBandAndAChainKeepsGrowing)
{
    // 100 s over 1000 px: 10 px a second; 4 px apart joins.
    const TMarkList list = ListOf({{10, 0}, {10.2, 0}, {10.5, 0}, {10.8, 0}, {20, 0}, {20.5, 0}, {30, 0}, {50, 5}});
    const TGlyphCounts glyphs = Counts(LayoutMarks(list, 0, 100, 1000, 4));
    EXPECT_EQ(glyphs.Counts, (std::vector<int>{4, 1, 1, 1, 1}));
    EXPECT_EQ(glyphs.Lefts, (std::vector<int>{100, 200, 205, 300, 500}));
    // Zoomed in, each one stands alone.
    EXPECT_EQ(Counts(LayoutMarks(list, 9, 11, 1000, 4)).Counts, (std::vector<int>{1, 1, 1, 1}));
}

TEST(MarkLayout, ASpanStartingBeforeTheViewIsDrawnAndMarksOutsideAreNot)
{
    const TMarkList list = ListOf({{1, 0}, {2, 30}, {40, 0}, {90, 0}});
    const std::vector<TMarkGlyph> glyphs = LayoutMarks(list, 20, 60, 400, 4);
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0].First, 1);
    EXPECT_DOUBLE_EQ(glyphs[0].Left, -180);
    EXPECT_DOUBLE_EQ(glyphs[0].Right, 120);
    EXPECT_EQ(glyphs[1].First, 2);
}

TEST(MarkLayout, AHundredThousandMarksInViewMakeFewGlyphs)
{
    std::vector<TMark> marks(100000);
    for (std::size_t i = 0; i < marks.size(); ++i)
        marks[i].Seconds = static_cast<double>(i) * 0.01;
    TMarkList list;
    list.Reset(marks);
    const std::vector<TMarkGlyph> glyphs = LayoutMarks(list, 0, 1000, 1200, 4);
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].Count, 100000);
}

TEST(MarkLayout, TheHeadlineIsTheNotesFirstWords)
{
    EXPECT_EQ(NoteHeadline("  first   contact\nof the tyre with the kerb", 16), QString("first contact of") + QChar(0x2026));
    EXPECT_EQ(NoteHeadline("short", 16), "short");
    EXPECT_EQ(NoteHeadline("averyveryverylongword", 8), QString("averyver") + QChar(0x2026));
    EXPECT_EQ(NoteHeadline("", 8), "");
}
