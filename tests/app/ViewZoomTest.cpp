#include "common/TimeMapping.h"
#include "app/DragZoom.h"
#include "app/ViewZoom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TDateTime At(int h, int m, double s = 0)
{
    return (h * 3600 + m * 60 + s) / SecondsPerDay;
}

// Within a millisecond.
void ExpectView(TView actual, TView expected)
{
    EXPECT_NEAR(actual.Min * SecondsPerDay, expected.Min * SecondsPerDay, 1e-3);
    EXPECT_NEAR(actual.Max * SecondsPerDay, expected.Max * SecondsPerDay, 1e-3);
}

} // namespace

TEST(ViewZoom, ZoomInKeepsTheEdgeNearTheCursor)
{
    const TView view{At(10, 0), At(10, 20)};
    struct Case {
        TDateTime cursor;
        TView expected;
    };
    const Case cases[] = {
        {At(10, 10), {At(10, 1), At(10, 19)}},
        {At(10, 1, 30), {At(10, 0), At(10, 18)}},
        {At(10, 19), {At(10, 2), At(10, 20)}},
        // Outside the view on either side.
        {At(9, 0), {At(10, 0), At(10, 18)}},
        {At(11, 0), {At(10, 2), At(10, 20)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cursor * SecondsPerDay);
        ExpectView(ZoomInView(view, c.cursor), c.expected);
    }
}

TEST(ViewZoom, ZoomInStopsAtAMillisecondAndZoomOutAlwaysRecovers)
{
    // Each step takes nine tenths of the width.
    TView view{At(10, 0), At(10, 20)};
    for (int i = 0; i < 100; ++i)
        view = ZoomInView(view, At(10, 10));
    EXPECT_NEAR((view.Max - view.Min) / (At(10, 20) - At(10, 0)) / std::pow(0.9, 100), 1.0, 1e-6);

    // A dated view of a 90 s video, zoomed in far past the least width: the
    // cursor at the start, in the middle and at the end.
    const TDateTime start = 42674 + At(7, 0);
    const TView full{start, start + 90 / SecondsPerDay};
    for (const TDateTime cursor : {full.Min, (full.Min + full.Max) / 2, full.Max}) {
        SCOPED_TRACE(cursor);
        view = full;
        for (int i = 0; i < 300; ++i)
            view = ZoomInView(view, cursor);
        EXPECT_GE(view.Max - view.Min, MinViewWidth);
        EXPECT_LT(view.Max - view.Min, MinViewWidth / 0.9);
        EXPECT_GE(cursor, view.Min);
        EXPECT_LE(cursor, view.Max);
        int steps = 0;
        while (steps < 1000 && (view.Min != full.Min || view.Max != full.Max)) {
            view = ZoomOutView(view, full);
            ++steps;
        }
        EXPECT_LT(steps, 1000);
    }
}

TEST(ViewZoom, ZoomOutWidensTheMaximumFirstAndStaysInsideTheFullView)
{
    const TView full{At(10, 0), At(10, 20)};
    const TView once = ZoomOutView({At(10, 1), At(10, 19)}, full);
    ExpectView(once, {At(10, 0, 3.3), At(10, 19, 54)});
    const TView twice = ZoomOutView(once, full);
    ExpectView(twice, full);
    ExpectView(ZoomOutView(twice, full), full);
}

TEST(ViewZoom, TheViewFollowsACursorThatPassedItsRightEdge)
{
    TView result{};
    ASSERT_TRUE(FollowCursorView({At(10, 0), At(10, 10)}, At(10, 10, 0.5), At(11, 0), result));
    ExpectView(result, {At(10, 0, 30.5), At(10, 10, 30.5)});

    ASSERT_TRUE(FollowCursorView({At(10, 0), At(10, 10)}, At(10, 10, 0.5), At(10, 10, 20), result));
    ExpectView(result, {At(10, 0, 20), At(10, 10, 20)});

    // On the edge or left of the view nothing moves.
    EXPECT_FALSE(FollowCursorView({At(10, 0), At(10, 10)}, At(10, 10), At(11, 0), result));
    EXPECT_FALSE(FollowCursorView({At(10, 0), At(10, 10)}, At(9, 0), At(11, 0), result));

    // A view narrower than one report's step still ends after the cursor.
    ASSERT_TRUE(FollowCursorView({At(10, 0), At(10, 0, 0.1)}, At(10, 0, 0.6), At(11, 0), result));
    EXPECT_GT(result.Max, At(10, 0, 0.6));
    EXPECT_GT(result.Min, At(10, 0, 0.1));
}

TEST(TimeMapping, VideoSecondsAndChartTimesMapBothWays)
{
    const TDateTime start = At(12, 0);
    EXPECT_NEAR(VideoToChartTime(start, 90.0f), At(12, 1, 30), 1e-12);
    EXPECT_EQ(VideoToChartTime(start, 0.0f), start);
    EXPECT_FLOAT_EQ(ChartToVideoSeconds(start, At(12, 1, 30)), 90.0f);
    // A date before the recording maps to a negative position.
    EXPECT_FLOAT_EQ(ChartToVideoSeconds(start, At(11, 59, 59)), -1.0f);
    const TDateTime dated = 42674 + At(7, 0);
    EXPECT_NEAR(ChartToVideoSeconds(dated, VideoToChartTime(dated, 372.5f)), 372.5f, 1e-3);
}

TEST(ViewZoom, PanMovesByAFractionOfTheWidthAndStopsAtTheEnds)
{
    const TView full{At(10, 0), At(10, 20)};
    struct Case {
        TView view;
        double fraction;
        TView expected;
    };
    const Case cases[] = {
        {{At(10, 5), At(10, 10)}, 0.1, {At(10, 5, 30), At(10, 10, 30)}},
        {{At(10, 5), At(10, 10)}, -0.1, {At(10, 4, 30), At(10, 9, 30)}},
        // Up to an end, not past it, as wide as before.
        {{At(10, 14), At(10, 19, 50)}, 0.1, {At(10, 14, 10), At(10, 20)}},
        {{At(10, 0, 10), At(10, 6)}, -0.5, {At(10, 0), At(10, 5, 50)}},
        // The whole video: nowhere to go.
        {full, 0.1, full},
        {full, -0.1, full},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fraction);
        ExpectView(PanView(c.view, c.fraction, full), c.expected);
    }
}

TEST(ViewZoom, ADraggedSpanIsTheViewInEitherDirectionWithinTheVideo)
{
    const TView full{At(10, 0), At(10, 20)};
    ExpectView(DraggedSpanView(At(10, 5), At(10, 7), full), {At(10, 5), At(10, 7)});
    ExpectView(DraggedSpanView(At(10, 7), At(10, 5), full), {At(10, 5), At(10, 7)});
    ExpectView(DraggedSpanView(At(9, 50), At(10, 1), full), {At(10, 0), At(10, 1)});
    // Narrower than a millisecond: a millisecond around it, inside the video.
    const TView narrow = DraggedSpanView(At(10, 5), At(10, 5), full);
    EXPECT_NEAR((narrow.Max - narrow.Min) * SecondsPerDay, 0.001, 1e-6);
    const TView atEnd = DraggedSpanView(At(10, 20), At(10, 20), full);
    EXPECT_LE(atEnd.Max, full.Max);
    EXPECT_NEAR((atEnd.Max - atEnd.Min) * SecondsPerDay, 0.001, 1e-6);
}

TEST(ViewZoom, ADragBeyondThePlotsEdgesScrollsByHowFarThePointerIsOut)
{
    EXPECT_EQ(EdgeScrollFraction(50, 10, 210), 0);
    EXPECT_EQ(EdgeScrollFraction(10, 10, 210), 0);
    EXPECT_EQ(EdgeScrollFraction(210, 10, 210), 0);
    EXPECT_DOUBLE_EQ(EdgeScrollFraction(230, 10, 210), 0.1);
    EXPECT_DOUBLE_EQ(EdgeScrollFraction(-40, 10, 210), -0.25);
    // A plot without width scrolls nothing.
    EXPECT_EQ(EdgeScrollFraction(500, 10, 10), 0);
}
