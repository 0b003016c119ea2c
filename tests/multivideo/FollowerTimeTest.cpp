#include "multivideo/FollowerTime.h"

#include <gtest/gtest.h>

TEST(FollowerTime, TheMainTimePlusTheOffsetHeldWithinTheFrames)
{
    // A 10 s video of 25 fps: its last frame starts at 9.96 s.
    const struct {
        double main, offset;
        double seconds;
        bool outside;
    } cases[] = {
        {4.0, 0.5, 4.5, false},
        {4.0, -0.5, 3.5, false},
        {0.2, -0.5, 0.0, true},   // before its first frame
        {0.5, -0.5, 0.0, false},  // on it
        {9.97, 0.0, 9.96, false}, // within the last frame
        {9.7, 0.3, 9.96, true},   // at its end
        {12.0, 0.0, 9.96, true},
    };
    for (const auto& c : cases) {
        const TFollowerTime time = FollowerTimeAt(c.main, c.offset, 10.0, 0.04);
        EXPECT_NEAR(time.Seconds, c.seconds, 1e-9) << c.main << " " << c.offset;
        EXPECT_EQ(time.Outside, c.outside) << c.main << " " << c.offset;
    }
}

TEST(FollowerTime, DriftWithinAFifthOfAFrameIsLeftAloneMoreIsPlayedUpAndMuchIsSought)
{
    const double frame = 1 / 29.97;
    const struct {
        double ahead;
        bool seek;
        double factor;
    } cases[] = {
        {0.0, false, 1.0},   {frame * 0.19, false, 1.0}, {-frame * 0.19, false, 1.0},
        {0.01, false, 0.98}, {-0.01, false, 1.02},       {0.03, false, 0.94},
        {0.2, false, 0.9},   {-0.2, false, 1.1}, // at most 10 % off
        {0.3, true, 1.0},    {-2.0, true, 1.0},
    };
    for (const auto& c : cases) {
        const TFollowerCorrection correction = FollowerCorrection(c.ahead, frame);
        EXPECT_EQ(correction.Seek, c.seek) << c.ahead;
        EXPECT_NEAR(correction.SpeedFactor, c.factor, 1e-9) << c.ahead;
    }
}

TEST(FollowerTime, TheDriftGoesByTheClocksWhereBothPlayersHaveOneElseByTheFrames)
{
    // The added video belongs 2 s later than the main one; its frame is a
    // whole frame off while its clock is only 5 ms off.
    const TPlayingPosition mainWithClock{10.0, 9.98};
    const TPlayingPosition addedWithClock{12.04, 11.985};
    const TPlayingPosition mainFrameOnly{10.0, std::nullopt};
    const TPlayingPosition addedFrameOnly{12.04, std::nullopt};
    EXPECT_NEAR(FollowerAhead(mainWithClock, addedWithClock, 2.0), 0.005, 1e-9);
    EXPECT_NEAR(FollowerAhead(mainFrameOnly, addedWithClock, 2.0), 0.04, 1e-9);
    EXPECT_NEAR(FollowerAhead(mainWithClock, addedFrameOnly, 2.0), 0.04, 1e-9);
    EXPECT_NEAR(FollowerAhead(mainWithClock, {11.96, 11.94}, 2.0), -0.04, 1e-9);
}

TEST(FollowerTime, APausedVideoShowsTheFrameOfAMomentFromJustBeforeItToTheNextFrame)
{
    const double frame = 0.04;
    const struct {
        double shown;
        bool showsIt;
    } cases[] = {
        {4.0, true}, {3.996, true}, {4.039, true}, // an exact seek's tolerance of 5 ms before
        {3.99, false}, {4.04, false}, {3.96, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShowsFrameFor(c.shown, 4.0, frame), c.showsIt) << c.shown;
}
