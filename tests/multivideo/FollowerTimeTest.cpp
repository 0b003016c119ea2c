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

TEST(FollowerTime, DriftWithinHalfAFrameIsLeftAloneMoreIsPlayedUpAndMuchIsSought)
{
    const double frame = 1 / 29.97;
    const struct {
        double ahead;
        bool seek;
        double factor;
    } cases[] = {
        {0.0, false, 1.0},    {frame * 0.49, false, 1.0}, {-frame * 0.49, false, 1.0},
        {0.05, false, 0.95},  {-0.05, false, 1.05},       {0.2, false, 0.9}, // at most 10 % off
        {0.3, true, 1.0},     {-2.0, true, 1.0},
    };
    for (const auto& c : cases) {
        const TFollowerCorrection correction = FollowerCorrection(c.ahead, frame);
        EXPECT_EQ(correction.Seek, c.seek) << c.ahead;
        EXPECT_NEAR(correction.SpeedFactor, c.factor, 1e-9) << c.ahead;
    }
}
