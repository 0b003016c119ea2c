#include "common/DateTime.h"
#include "common/Exception.h"
#include "derived/CfcFilter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double T0 = 45000.25;

// The gain in dB of the filter for a sine of `frequency` sampled at `rate`,
// fitted over the middle half of the filtered signal.
double GainDb(int cfc, double frequency, double rate)
{
    const double periods = 40;
    const int count = static_cast<int>(std::max(periods / frequency * rate, 4000.0));
    std::vector<TChartPoint> points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        points[static_cast<std::size_t>(i)] = {T0 + i / rate / SecondsPerDay, std::sin(2 * M_PI * frequency * i / rate)};
    const auto filtered = CfcFiltered(ViewOf(points), cfc, "x");
    double sine = 0, cosine = 0;
    int used = 0;
    for (int i = count / 4; i < 3 * count / 4; ++i, ++used) {
        sine += filtered[static_cast<std::size_t>(i)].Y * std::sin(2 * M_PI * frequency * i / rate);
        cosine += filtered[static_cast<std::size_t>(i)].Y * std::cos(2 * M_PI * frequency * i / rate);
    }
    const double amplitude = 2 * std::hypot(sine, cosine) / used;
    return 20 * std::log10(amplitude);
}

TEST(CfcFilter, GainStaysInsideTheCorridorOfEachClass)
{
    // Pass band flat within +0.5 / -1 dB up to the class, -3 dB near 1.667
    // times it within +0.5 / -4 dB, and at five times the class below the
    // corridor's -30 dB.
    for (int cfc : {60, 180, 600, 1000}) {
        SCOPED_TRACE(cfc);
        const double rate = 100.0 * cfc;
        for (double f : {0.1, 0.5, 1.0}) {
            const double gain = GainDb(cfc, f * cfc, rate);
            EXPECT_LE(gain, 0.5) << f;
            EXPECT_GE(gain, -1.0) << f;
        }
        const double corner = GainDb(cfc, 1.667 * cfc, rate);
        EXPECT_LE(corner, 0.5);
        EXPECT_GE(corner, -4.0);
        EXPECT_NEAR(corner, -3.0, 0.2);
        EXPECT_LE(GainDb(cfc, 5.0 * cfc, rate), -30.0);
    }
}

TEST(CfcFilter, KeepsTheLevelAndThePhase)
{
    // A step up at 10 ms: forwards and backwards the filter moves no edge.
    const double rate = 10000;
    std::vector<TChartPoint> points;
    for (int i = 0; i < 200; ++i)
        points.push_back({T0 + i / rate / SecondsPerDay, i < 100 ? 1.0 : 3.0});
    const auto filtered = CfcFiltered(ViewOf(points), 180, "x");
    EXPECT_NEAR(filtered.front().Y, 1, 1e-3);
    EXPECT_NEAR(filtered.back().Y, 3, 1e-3);
    EXPECT_NEAR((filtered[99].Y + filtered[100].Y) / 2, 2, 0.01);
}

TEST(CfcFilter, RefusesAnUnevenOrTooSlowSeriesByName)
{
    std::vector<TChartPoint> uneven;
    for (int i = 0; i < 100; ++i)
        uneven.push_back({T0 + (i < 50 ? i : i + 3) / 10000.0 / SecondsPerDay, 0});
    try {
        CfcFiltered(ViewOf(uneven), 60, "accel");
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_TRUE(error.Message().startsWith("cfc needs evenly sampled points, but accel steps by 0.0004 s at "
                                               "06:00:00.005 where its usual step is 0.0001 s."))
            << error.Message().toStdString();
    }
    std::vector<TChartPoint> slow;
    for (int i = 0; i < 100; ++i)
        slow.push_back({T0 + i / 1000.0 / SecondsPerDay, 0});
    try {
        CfcFiltered(ViewOf(slow), 1000, "accel");
        ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "cfc(accel, 1000) needs more than 4155 samples a second, but accel has 1000.");
    }
}

} // namespace
