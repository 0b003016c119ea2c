#include "chart/ChartLanes.h"

#include <gtest/gtest.h>

TEST(ChartLanes, EveryShownLineGetsALaneInTheChartsOrder)
{
    const struct {
        std::vector<TLaneCandidate> Series;
        std::vector<int> Lanes;
    } cases[] = {
        {{}, {}},
        // The cursor (no line) never has a lane.
        {{{false, true}}, {}},
        {{{false, true}, {true, true}, {true, true}, {true, true}}, {1, 2, 3}},
        {{{false, true}, {true, false}, {true, true}, {true, false}}, {2}},
        {{{false, true}, {true, false}}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LaneSeries(c.Series), c.Lanes);
}

TEST(ChartLanes, AValueAxisSpansItsSeriesAndWidensASingleValue)
{
    EXPECT_FALSE(FitValueRange({}).has_value());

    const struct {
        std::vector<TValueSpan> Ranges;
        double Min;
        double Max;
    } cases[] = {
        {{{1, 5}}, 1, 5},
        {{{1, 5}, {-10, 0}, {100, 200}}, -10, 200},
        {{{7, 7}}, 6, 8},
        {{{7, 7}, {7, 7}}, 6, 8},
        {{{-3, 2}, {0, 1}}, -3, 2},
    };
    for (const auto& c : cases) {
        const std::optional<TValueSpan> fitted = FitValueRange(c.Ranges);
        ASSERT_TRUE(fitted.has_value());
        EXPECT_EQ(fitted->Min, c.Min);
        EXPECT_EQ(fitted->Max, c.Max);
    }
}

TEST(ChartLanes, ALaneAsksForTheTicksItHasRoomFor)
{
    const struct {
        int Height;
        int LabelHeight;
        int Ticks;
    } cases[] = {
        {200, 14, FullHeightTickCount},
        {84, 14, 3},
        {40, 14, 1},
        {5, 14, 1},
        {0, 0, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LaneTickCount(c.Height, c.LabelHeight), c.Ticks) << c.Height << " px";
}
