#pragma once

#include "chart/ChartPoint.h"
#include "import/LoadWindow.h"

#include <random>
#include <vector>

// The pseudo-random numbers of the test data.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : mEngine(seed) {}
    // A whole number from 0 to n - 1.
    int Next(int n);
    // A real number from 0 (included) to 1 (excluded).
    double NextReal();

private:
    std::mt19937_64 mEngine;
};

// The time of sample i of 1001 spread evenly over the window, the first on
// its start and the last on its end.
TDateTime TestSampleTime(const TLoadWindow& window, int i);

// A random walk that never goes below 0, drifting half a unit a step on
// average and turning now and then.
std::vector<TChartPoint> RandomWalkTestData(const TLoadWindow& window, TRandom& random);

// Two sines and a little noise, within -60 and +63.
std::vector<TChartPoint> SineTestData(const TLoadWindow& window, TRandom& random);
double TestSignal(double k, double phase, double t, TRandom& random);
