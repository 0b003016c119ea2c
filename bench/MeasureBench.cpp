#include "bench/MeasureBench.h"

#include "app/SpanMeasure.h"
#include "bench/OffscreenChart.h"
#include "chartdata/ChartData.h"
#include "common/DateTime.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

int RunMeasureBench(int, char** argv)
{
    constexpr int SeriesCount = 10;
    constexpr int PointsPerSeries = 10'000'000;
    constexpr double SpanDays = 100.0 * 60 / SecondsPerDay;
    constexpr double MinuteDays = 60.0 / SecondsPerDay;

    TOffscreenChart offscreen(argv[0]);
    std::mt19937 random(7);
    std::normal_distribution<double> step(0, 1);
    std::vector<TChartPoint> points(PointsPerSeries);
    for (int s = 0; s < SeriesCount; ++s) {
        double value = 0;
        for (int i = 0; i < PointsPerSeries; ++i) {
            value += step(random);
            points[static_cast<std::size_t>(i)] = {SpanDays * i / PointsPerSeries, value};
        }
        AddChartSeries(offscreen.Chart, "s" + QByteArray::number(s))->AddPoints(points.data(), points.size());
    }
    points = {};

    // Markers at random places a minute apart; the median of the runs.
    std::uniform_real_distribution<double> where(0, SpanDays - MinuteDays);
    std::vector<double> runs;
    double checksum = 0;
    for (int run = 0; run < 101; ++run) {
        const double a = where(random);
        const auto start = std::chrono::steady_clock::now();
        for (int s = 1; s <= SeriesCount; ++s)
            checksum += MeasureSeries(offscreen.Chart, s, a, a + MinuteDays).Span.Mean;
        runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(runs.begin(), runs.begin() + 50, runs.end());
    std::printf("measure_ms_100m %.4f ms\n", runs[50]);
    std::fprintf(stderr, "checksum %g\n", checksum);
    return 0;
}
