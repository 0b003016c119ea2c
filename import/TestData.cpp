#include "import/TestData.h"

#include <cmath>

namespace {

constexpr int TestSteps = 1000;

} // namespace

int TRandom::Next(int n)
{
    return std::uniform_int_distribution<int>(0, n - 1)(mEngine);
}

double TRandom::NextReal()
{
    return std::uniform_real_distribution<double>(0.0, 1.0)(mEngine);
}

TDateTime TestSampleTime(const TLoadWindow& window, int i)
{
    if (i == TestSteps)
        return window.End;
    return window.Start + (window.End - window.Start) / TestSteps * i;
}

std::vector<TChartPoint> RandomWalkTestData(const TLoadWindow& window, TRandom& random)
{
    std::vector<TChartPoint> points;
    points.reserve(TestSteps + 1);
    double value = random.Next(30);
    double direction = random.Next(2) == 0 ? 1 : -1;
    for (int i = 0; i <= TestSteps; ++i) {
        const double r = random.Next(3) - 1;
        const double u = random.NextReal();
        value += (u + r) * direction;
        if (value < 0) {
            value = 0;
            direction = -direction;
        }
        if (random.Next(40) == 0)
            direction = -direction;
        points.push_back({TestSampleTime(window, i), value});
    }
    return points;
}

double TestSignal(double k, double phase, double t, TRandom& random)
{
    const double noise = random.Next(1000) / 10000.0;
    const double a = t + phase;
    return std::sin(2 * M_PI * a) + std::sin(k * M_PI * a) + noise;
}

std::vector<TChartPoint> SineTestData(const TLoadWindow& window, TRandom& random)
{
    const double phase = random.Next(100) / 100.0;
    const double k = random.Next(5) + 1;
    std::vector<TChartPoint> points;
    points.reserve(TestSteps + 1);
    for (int i = 0; i <= TestSteps; ++i)
        points.push_back({TestSampleTime(window, i), 30 * TestSignal(k, phase, static_cast<double>(i) / TestSteps, random)});
    return points;
}
