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

TEST(ChartLanes, TicksGoWhereTheirLabelsStayInTheLane)
{
    const struct {
        TValueSpan Range;
        int Height;
        int LabelHeight;
        TValueSpan Labelled;
    } cases[] = {
        {{0, 100}, 40, 14, {17.5, 82.5}},    // 7 px of 40 off either end
        {{-1, 1}, 200, 10, {-0.95, 0.95}},
        {{0, 100}, 12, 14, {0, 100}},        // lower than a label: the whole range
        {{5, 5}, 40, 14, {5, 5}},
    };
    for (const auto& c : cases) {
        const TValueSpan labelled = LabelledSpan(c.Range, c.Height, c.LabelHeight);
        EXPECT_DOUBLE_EQ(labelled.Min, c.Labelled.Min) << c.Height << " px";
        EXPECT_DOUBLE_EQ(labelled.Max, c.Labelled.Max) << c.Height << " px";
    }
}
