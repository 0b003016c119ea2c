#include "bench/DerivedBench.h"

#include "bench/BenchClock.h"
#include "chart/ChartSeries.h"
#include "common/DateTime.h"
#include "derived/ChartFormulas.h"
#include "derived/Formula.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr double StartDay = 45000.25;

// Three series as a logger writes them: 10,000 samples a second, the same
// times for each.
std::vector<std::vector<TChartPoint>> MakeSeries(std::size_t points)
{
    std::vector<std::vector<TChartPoint>> series(3, std::vector<TChartPoint>(points));
    for (std::size_t i = 0; i < points; ++i) {
        const double t = StartDay + static_cast<double>(i) * 1e-4 / SecondsPerDay;
        const double s = static_cast<double>(i) * 1e-4;
        series[0][i] = {t, std::sin(s)};
        series[1][i] = {t, std::cos(3 * s)};
        series[2][i] = {t, 0.001 * static_cast<double>(i % 1000)};
    }
    return series;
}

// Seconds to compute the formula into a chart series.
double TimeFormula(const char* text, const std::vector<TPointsView>& views, std::size_t* made)
{
    const QStringList titles = {"ax", "ay", "az"};
    const TFormula formula(QString::fromLatin1(text), SeriesNames(titles));
    TFastLineSeries series;
    const auto start = Clock::now();
    ComputeSeries(formula, views, series);
    const double seconds = SecondsSince(start);
    *made = static_cast<std::size_t>(series.Count());
    return seconds;
}

} // namespace

int RunDerivedBench(int argc, char** argv)
{
    // A smaller count for a quick look: plotreel-bench derived 1000000.
    const std::size_t points = argc >= 3 ? std::strtoull(argv[2], nullptr, 10) : 100000000;
    const auto series = MakeSeries(points);
    std::vector<TPointsView> views;
    for (const auto& s : series)
        views.push_back(ViewOf(s));
    std::size_t made = 0;
    const double derived = TimeFormula("sqrt(ax^2 + ay^2 + az^2)", views, &made);
    if (made != points) {
        std::fprintf(stderr, "derived: %zu points made of %zu\n", made, points);
        return 1;
    }
    const double cfc = TimeFormula("cfc(ax, 180)", views, &made);
    const char* suffix = points == 100000000 ? "100m" : "n";
    std::printf("derived_s_%s %.3f s\n", suffix, derived);
    std::printf("cfc_s_%s %.3f s\n", suffix, cfc);
    return 0;
}
