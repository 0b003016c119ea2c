#include "derived/CfcFilter.h"

#include "common/DateTime.h"
#include "common/Exception.h"
#include "common/PrefaultMemory.h"
#include "derived/SeriesClock.h"

#include <algorithm>
#include <cmath>

bool IsChannelFrequencyClass(int cfc)
{
    return cfc == 60 || cfc == 180 || cfc == 600 || cfc == 1000;
}

TCfcCoefficients CfcCoefficients(int cfc, double seconds)
{
    const double wd = 2 * M_PI * cfc * 2.0775;
    const double wa = std::tan(wd * seconds / 2);
    const double root2 = std::sqrt(2.0);
    const double d = 1 + root2 * wa + wa * wa;
    const double a0 = wa * wa / d;
    return {a0, 2 * a0, a0, -2 * (wa * wa - 1) / d, (-1 + root2 * wa - wa * wa) / d};
}

namespace {

// One pass of the filter over the values, from the first or from the last,
// as if the signal had stood at the value it starts with.
void FilterPass(std::vector<TChartPoint>& points, const TCfcCoefficients& c, bool backwards)
{
    const std::size_t n = points.size();
    auto at = [&](std::size_t k) -> double& { return points[backwards ? n - 1 - k : k].Y; };
    double x1 = at(0), x2 = at(0), y1 = at(0), y2 = at(0);
    for (std::size_t k = 0; k < n; ++k) {
        double& value = at(k);
        const double x0 = value;
        const double y0 = c.A0 * x0 + c.A1 * x1 + c.A2 * x2 + c.B1 * y1 + c.B2 * y2;
        x2 = x1;
        x1 = x0;
        y2 = y1;
        y1 = y0;
        value = y0;
    }
}

} // namespace

std::vector<TChartPoint> CfcFiltered(TPointsView series, int cfc, const QString& name)
{
    std::vector<TChartPoint> points;
    points.reserve(series.Count);
    AdviseHugePages({points.data(), points.capacity() * sizeof(TChartPoint)});
    for (std::size_t i = 0; i < series.Count; ++i)
        if (std::isfinite(series.Points[i].Y))
            points.push_back(series.Points[i]);
    if (points.size() < 2)
        return points;
    const TSeriesClock clock(ViewOf(points));
    const double step = clock.Step();
    // Loggers stamp their samples with a clock of their own: steps within a
    // hundredth of the usual one (the median of the first thousand) count as
    // even, and the mean step is the filter's.
    if (!clock.Even()) {
        std::vector<double> first;
        for (std::size_t i = 1; i < points.size() && i <= 1000; ++i)
            first.push_back(clock.Seconds(i) - clock.Seconds(i - 1));
        std::nth_element(first.begin(), first.begin() + first.size() / 2, first.end());
        const double usual = first[first.size() / 2];
        for (std::size_t i = 1; i < points.size(); ++i) {
            const double gap = clock.Seconds(i) - clock.Seconds(i - 1);
            if (std::fabs(gap - usual) > usual / 100)
                throw Exception(QStringLiteral("cfc needs evenly sampled points, but %1 steps by %2 s at %3 "
                                               "where its usual step is %4 s.")
                                    .arg(name)
                                    .arg(gap, 0, 'g', 3)
                                    .arg(DateTimeToQDateTime(points[i].X).toString(QStringLiteral("HH:mm:ss.zzz")))
                                    .arg(usual, 0, 'g', 3));
        }
    }
    // The filter is designed at 2.0775 times the class, which must lie below
    // half the sampling rate.
    const double rate = 1 / step;
    const double least = 2 * 2.0775 * cfc;
    if (!(rate > least))
        throw Exception(QStringLiteral("cfc(%1, %2) needs more than %3 samples a second, but %1 has %4.")
                            .arg(name).arg(cfc).arg(least, 0, 'f', 0).arg(rate, 0, 'g', 6));
    const TCfcCoefficients coefficients = CfcCoefficients(cfc, step);
    FilterPass(points, coefficients, false);
    FilterPass(points, coefficients, true);
    return points;
}
