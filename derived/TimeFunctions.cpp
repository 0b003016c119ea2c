#include "derived/TimeFunctions.h"

#include "derived/SeriesClock.h"

#include <algorithm>
#include <cmath>

namespace {

// The points of a series whose values are numbers.
std::vector<TChartPoint> FinitePoints(TPointsView series)
{
    std::vector<TChartPoint> points;
    points.reserve(series.Count);
    for (std::size_t i = 0; i < series.Count; ++i)
        if (std::isfinite(series.Points[i].Y))
            points.push_back(series.Points[i]);
    return points;
}

// A series with no point that is not a number is read in place; another is
// copied without those points first.
class TFiniteSeries {
public:
    explicit TFiniteSeries(TPointsView series)
    {
        for (std::size_t i = 0; i < series.Count; ++i)
            if (!std::isfinite(series.Points[i].Y)) {
                mCopy = FinitePoints(series);
                mView = ViewOf(mCopy);
                return;
            }
        mView = series;
    }
    TPointsView View() const { return mView; }

private:
    std::vector<TChartPoint> mCopy;
    TPointsView mView;
};

// A sum that carries what each addition rounded away (Neumaier), so that a
// hundred million steps add up as exactly as a few.
class TExactSum {
public:
    void Add(double value)
    {
        const double total = mSum + value;
        mCarry += std::fabs(mSum) >= std::fabs(value) ? (mSum - total) + value : (value - total) + mSum;
        mSum = total;
    }
    double Value() const { return mSum + mCarry; }

private:
    double mSum = 0;
    double mCarry = 0;
};

// Each point's statistic over the points within half a window either side.
template <class Finish>
std::vector<TChartPoint> Windowed(TPointsView input, double seconds, bool squares, Finish finish)
{
    const TFiniteSeries finite(input);
    const TPointsView series = finite.View();
    const TSeriesClock clock(series);
    const double half = seconds / 2;
    std::vector<TChartPoint> out(series.Count);
    TExactSum sum;
    std::size_t from = 0;
    std::size_t to = 0; // points [from, to) are in the window
    for (std::size_t i = 0; i < series.Count; ++i) {
        const double t = clock.Seconds(i);
        while (to < series.Count && clock.Seconds(to) - t <= half) {
            const double y = series.Points[to].Y;
            sum.Add(squares ? y * y : y);
            ++to;
        }
        while (t - clock.Seconds(from) > half) {
            const double y = series.Points[from].Y;
            sum.Add(squares ? -y * y : -y);
            ++from;
        }
        out[i] = {series.Points[i].X, finish(sum.Value() / static_cast<double>(to - from))};
    }
    return out;
}

} // namespace

std::vector<TChartPoint> Derivative(TPointsView input)
{
    const TFiniteSeries finite(input);
    const TPointsView series = finite.View();
    const std::size_t n = series.Count;
    std::vector<TChartPoint> out(n);
    if (n < 2) {
        out.clear();
        return out;
    }
    const TSeriesClock clock(series);
    const TChartPoint* p = series.Points;
    if (n == 2) {
        const double slope = (p[1].Y - p[0].Y) / (clock.Seconds(1) - clock.Seconds(0));
        out[0] = {p[0].X, slope};
        out[1] = {p[1].X, slope};
        return out;
    }
    // The derivative at the middle one of three points (a, b, c) of the
    // parabola through them, with steps h0 = b - a and h1 = c - b.
    auto middle = [](double ya, double yb, double yc, double h0, double h1) {
        return (h0 * h0 * yc - h1 * h1 * ya + (h1 * h1 - h0 * h0) * yb) / (h0 * h1 * (h0 + h1));
    };
    double previous = clock.Seconds(0);
    double current = clock.Seconds(1);
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const double next = clock.Seconds(i + 1);
        out[i] = {p[i].X, middle(p[i - 1].Y, p[i].Y, p[i + 1].Y, current - previous, next - current)};
        previous = current;
        current = next;
    }
    // At the ends, the same parabola's slope at its first or last point.
    {
        const double h0 = clock.Seconds(1) - clock.Seconds(0);
        const double h1 = clock.Seconds(2) - clock.Seconds(1);
        const double slope = (-(2 * h0 + h1) * h1 * p[0].Y + (h0 + h1) * (h0 + h1) * p[1].Y - h0 * h0 * p[2].Y)
                             / (h0 * h1 * (h0 + h1));
        out[0] = {p[0].X, slope};
    }
    {
        const double h0 = clock.Seconds(n - 2) - clock.Seconds(n - 3);
        const double h1 = clock.Seconds(n - 1) - clock.Seconds(n - 2);
        const double slope = (h1 * h1 * p[n - 3].Y - (h0 + h1) * (h0 + h1) * p[n - 2].Y
                              + (2 * h1 + h0) * h0 * p[n - 1].Y)
                             / (h0 * h1 * (h0 + h1));
        out[n - 1] = {p[n - 1].X, slope};
    }
    return out;
}

std::vector<TChartPoint> Integral(TPointsView input, std::optional<TDateTime> zero)
{
    const TFiniteSeries finite(input);
    const TPointsView series = finite.View();
    const std::size_t n = series.Count;
    std::vector<TChartPoint> out(n);
    if (n == 0)
        return out;
    const TSeriesClock clock(series);
    const TChartPoint* p = series.Points;
    TExactSum area;
    out[0] = {p[0].X, 0};
    for (std::size_t i = 1; i < n; ++i) {
        area.Add((p[i - 1].Y + p[i].Y) / 2 * (clock.Seconds(i) - clock.Seconds(i - 1)));
        out[i] = {p[i].X, area.Value()};
    }
    if (zero && *zero > p[0].X && *zero <= p[n - 1].X) {
        // The area up to the zero: that of the points before it and the
        // trapezoid from the last of them to the zero.
        std::size_t i = 1;
        while (p[i].X < *zero)
            ++i;
        const double fraction = (*zero - p[i - 1].X) / (p[i].X - p[i - 1].X);
        const double span = clock.Seconds(i) - clock.Seconds(i - 1);
        const double yZero = p[i - 1].Y + fraction * (p[i].Y - p[i - 1].Y);
        const double atZero = out[i - 1].Y + (p[i - 1].Y + yZero) / 2 * fraction * span;
        for (TChartPoint& point : out)
            point.Y -= atZero;
    }
    return out;
}

std::vector<TChartPoint> MovingMean(TPointsView series, double seconds)
{
    return Windowed(series, seconds, false, [](double mean) { return mean; });
}

std::vector<TChartPoint> MovingRms(TPointsView series, double seconds)
{
    // Rounding can take a mean of squares a hair below zero.
    return Windowed(series, seconds, true, [](double meanSquare) { return std::sqrt(std::max(meanSquare, 0.0)); });
}

std::vector<TChartPoint> Shifted(TPointsView input, double seconds)
{
    const TFiniteSeries finite(input);
    const TPointsView series = finite.View();
    std::vector<TChartPoint> out(series.Points, series.Points + series.Count);
    const double days = seconds / SecondsPerDay;
    for (TChartPoint& point : out)
        point.X += days;
    return out;
}
