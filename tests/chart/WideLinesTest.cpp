#include "chart/WideLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A zigzag of count points one pixel apart that goes straight on at the
// given points: each lies on a flat run with the points beside it, half way
// up.
std::vector<QPointF> Zigzag(std::size_t count, const std::vector<std::size_t>& straight)
{
    std::vector<QPointF> points;
    for (std::size_t i = 0; i < count; ++i)
        points.emplace_back(static_cast<double>(i), i % 2 == 0 ? 0 : 5);
    for (const std::size_t at : straight)
        points[at - 1].ry() = points[at].ry() = points[at + 1].ry() = 2.5;
    return points;
}

} // namespace

TEST(PolylineCuts, ShortLinesStayWhole)
{
    for (const std::size_t count : {0, 1, 2, 47, 48}) {
        const std::vector<QPointF> points = Zigzag(count, {});
        EXPECT_TRUE(PolylineCuts(points.data(), points.size(), 16, 48).empty()) << count;
    }
}

// Every piece has between the least and the most points, and the cut falls
// on the one joint of its window where the line goes straight on.
TEST(PolylineCuts, CutWhereTheLineGoesStraightOn)
{
    const std::vector<QPointF> bends = Zigzag(200, {});
    std::size_t start = 0;
    for (const std::size_t cut : PolylineCuts(bends.data(), bends.size(), 16, 48)) {
        EXPECT_GE(cut - start + 1, 16u);
        EXPECT_LE(cut - start + 1, 48u);
        start = cut;
    }
    EXPECT_LE(bends.size() - start, 48u);

    // Straight joints inside the first window and the second.
    const std::vector<QPointF> points = Zigzag(110, {30, 70});
    EXPECT_EQ(PolylineCuts(points.data(), points.size(), 16, 48), (std::vector<std::size_t>{30, 70}));
}
