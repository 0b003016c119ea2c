#include "common/DateTime.h"
#include "derived/TimeFunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double T0 = 45000.25; // a morning in 2023, where a TDateTime holds about 0.6 us

double SecondsOf(const TChartPoint& point)
{
    return (point.X - T0) * SecondsPerDay;
}

// Points at these seconds from T0; each value is f of the time as the point
// holds it (a TDateTime near today is off by up to 0.3 us).
std::vector<TChartPoint> Sampled(const std::vector<double>& seconds, double (*f)(double))
{
    std::vector<TChartPoint> points;
    for (double s : seconds) {
        const double x = T0 + s / SecondsPerDay;
        points.push_back({x, f((x - T0) * SecondsPerDay)});
    }
    return points;
}

const std::vector<double> UnevenSeconds = {0, 0.1, 0.25, 0.5, 0.9, 1.0, 1.7};

TEST(TimeFunctions, DerivativeIsExactForASecondDegreePolynomialAtUnevenStepsAndAtTheEnds)
{
    const auto derivative = Derivative(ViewOf(Sampled(UnevenSeconds, [](double t) { return 3 * t * t - 2 * t + 1; })));
    ASSERT_EQ(derivative.size(), UnevenSeconds.size());
    for (const TChartPoint& point : derivative)
        EXPECT_NEAR(point.Y, 6 * SecondsOf(point) - 2, 1e-6) << "at " << SecondsOf(point);
}

TEST(TimeFunctions, DerivativeOfAFastEvenSeriesIsNotSpoiltByHowTimesAreStored)
{
    // 10,000 samples a second of 1000 t^2: its times as TDateTime days are
    // off by up to 0.3 us, 0.3 % of a step, but the series is read at its
    // even rate of 0.1 ms exactly.
    std::vector<TChartPoint> points;
    for (int i = 0; i < 2000; ++i)
        points.push_back({T0 + i * 1e-4 / SecondsPerDay, 1000 * (i * 1e-4) * (i * 1e-4)});
    const auto derivative = Derivative(ViewOf(points));
    for (std::size_t i = 0; i < derivative.size(); ++i)
        ASSERT_NEAR(derivative[i].Y, 2000 * (static_cast<double>(i) * 1e-4), 1e-9) << "at point " << i;
}

TEST(TimeFunctions, IntegralIsExactForAFirstDegreePolynomialAndStartsAtZeroWhereAsked)
{
    const auto points = Sampled(UnevenSeconds, [](double t) { return 2 * t + 1; });
    for (const TChartPoint& point : Integral(ViewOf(points)))
        EXPECT_NEAR(point.Y, SecondsOf(point) * SecondsOf(point) + SecondsOf(point), 1e-9);
    // From 0.3 s on, between points: F(t) - F(0.3).
    const double zero = T0 + 0.3 / SecondsPerDay;
    for (const TChartPoint& point : Integral(ViewOf(points), zero))
        EXPECT_NEAR(point.Y, SecondsOf(point) * SecondsOf(point) + SecondsOf(point) - 0.39, 1e-5);
    // A zero outside the points: from the first point.
    EXPECT_EQ(Integral(ViewOf(points), T0 + 5 / SecondsPerDay)[0].Y, 0);
}

TEST(TimeFunctions, WindowsCentreOnEachPoint)
{
    // A square wave of +-2, a sample every 0.25 s.
    std::vector<double> seconds;
    for (int i = 0; i < 40; ++i)
        seconds.push_back(i * 0.25);
    const auto square = Sampled(seconds, [](double t) { return std::fmod(t, 0.5) < 0.25 ? 2.0 : -2.0; });
    for (const TChartPoint& point : MovingRms(ViewOf(square), 1.0))
        EXPECT_NEAR(point.Y, 2, 1e-12);
    const auto line = Sampled(seconds, [](double t) { return 4 * t; });
    const auto mean = MovingMean(ViewOf(line), 1.0);
    // Inside, the window holds as many points on each side; at the first,
    // only those after it.
    EXPECT_NEAR(mean[10].Y, line[10].Y, 1e-5);
    EXPECT_NEAR(mean[0].Y, 4 * (0 + 0.25 + 0.5) / 3, 1e-5);
}

TEST(TimeFunctions, PointsThatAreNoNumberTakeNoPart)
{
    const double gap = std::numeric_limits<double>::quiet_NaN();
    auto points = Sampled({0, 1, 2, 3}, [](double t) { return t; });
    points[2].Y = gap;
    const auto integral = Integral(ViewOf(points));
    ASSERT_EQ(integral.size(), 3u);
    EXPECT_NEAR(integral.back().Y, 4.5, 1e-5);
    const auto shifted = Shifted(ViewOf(points), -0.5);
    ASSERT_EQ(shifted.size(), 3u);
    EXPECT_NEAR(SecondsOf(shifted[2]), 2.5, 1e-6);
}

} // namespace
