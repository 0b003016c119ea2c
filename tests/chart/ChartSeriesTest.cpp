#include "chart/Chart.h"
#include "chart/TimeAxisTicker.h"
#include "common/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<TChartPoint> Points(const TFastLineSeries& series)
{
    std::vector<TChartPoint> points;
    for (int i = 0; i < series.Count(); ++i)
        points.push_back({series.XValue(i), series.YValue(i)});
    return points;
}

void ExpectPoints(const TFastLineSeries& series, const std::vector<TChartPoint>& expected)
{
    const auto actual = Points(series);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_EQ(actual[i].X, expected[i].X) << "point " << i;
        EXPECT_EQ(actual[i].Y, expected[i].Y) << "point " << i;
    }
}

} // namespace

TEST(FastLineSeries, KeepsAscendingXWithEqualXInTheOrderAdded)
{
    TChart chart;
    auto* series = chart.AddSeries(std::make_unique<TFastLineSeries>());
    // Appends, a prepend, and inserts among equal keys at the front, middle and end.
    for (const TChartPoint& p : std::vector<TChartPoint>{
             {1, 10}, {2, 20}, {1, 11}, {0, 1}, {1, 12}, {2, 21}, {0, 2}, {3, 30}, {2, 22}})
        series->AddXY(p.X, p.Y);
    ExpectPoints(*series, {{0, 1}, {0, 2}, {1, 10}, {1, 11}, {1, 12}, {2, 20}, {2, 21}, {2, 22}, {3, 30}});
    EXPECT_EQ(series->MinXValue(), 0);
    EXPECT_EQ(series->MaxXValue(), 3);
}

TEST(FastLineSeries, BulkAddIsTheSameAsAddingOneByOne)
{
    const std::vector<std::vector<TChartPoint>> batches = {
        {{5, 1}, {5, 2}, {3, 3}},
        {{5, 4}, {6, 5}, {5, 6}},      // equal keys mixed into existing ones
        {{7, 7}, {8, 8}},              // plain append
        {{1, 9}, {1, 10}},             // all before the existing points
        {{8, 11}, {8, 12}},            // equal to the last key
    };
    TFastLineSeries oneByOne;
    TFastLineSeries bulk;
    for (const auto& batch : batches) {
        for (const TChartPoint& p : batch)
            oneByOne.AddXY(p.X, p.Y);
        bulk.AddPoints(batch.data(), batch.size());
    }
    ExpectPoints(bulk, Points(oneByOne));

    // A series whose points all share one X takes a batch with that X after them.
    TFastLineSeries same;
    const std::vector<TChartPoint> first = {{4, 1}, {4, 2}};
    const std::vector<TChartPoint> second = {{4, 3}, {4, 4}};
    same.AddPoints(first.data(), first.size());
    same.AddPoints(second.data(), second.size());
    ExpectPoints(same, {{4, 1}, {4, 2}, {4, 3}, {4, 4}});
}

TEST(FastLineSeries, SpanFiguresAreThoseOfThePointsBetweenBothEnds)
{
    // 20000 points a tenth apart with repeating whole-number values and two
    // points on the same X, so that the mean is exact and a span can end on
    // a repeated X.
    TFastLineSeries series;
    std::vector<TChartPoint> points;
    for (int i = 0; i < 20000; ++i)
        points.push_back({i * 0.1, static_cast<double>((i * 7919) % 201 - 100)});
    points.push_back({500.0, 1000});
    series.AddPoints(points.data(), points.size());

    const auto scan = [&](double a, double b) {
        TSpanFigures f{0, INFINITY, -INFINITY, 0};
        for (int i = 0; i < series.Count(); ++i) {
            const double x = series.XValue(i);
            const double y = series.YValue(i);
            if (x < a || x > b)
                continue;
            ++f.Count;
            f.Min = std::min(f.Min, y);
            f.Max = std::max(f.Max, y);
            f.Mean += y;
        }
        f.Mean /= static_cast<double>(f.Count);
        return f;
    };
    // Inside one bucket of the summary, across one edge, across many buckets
    // and levels, the whole series, ends between points, ends on the doubled X.
    const std::pair<double, double> spans[] = {{1.0, 3.0},   {6.0, 7.0},      {0.05, 1999.9}, {-5, 3000},
                                               {10.05, 10.15}, {499.9, 500.0}, {123.4, 1777.7}};
    for (const auto& [a, b] : spans) {
        const TSpanFigures expected = scan(a, b);
        const TSpanFigures actual = series.SpanFigures(a, b);
        EXPECT_EQ(actual.Count, expected.Count) << a << ".." << b;
        EXPECT_EQ(actual.Min, expected.Min) << a << ".." << b;
        EXPECT_EQ(actual.Max, expected.Max) << a << ".." << b;
        EXPECT_NEAR(actual.Mean, expected.Mean, 1e-9) << a << ".." << b;
    }
    // No point between the ends.
    const TSpanFigures empty = series.SpanFigures(10.01, 10.09);
    EXPECT_EQ(empty.Count, 0u);
    EXPECT_TRUE(std::isnan(empty.Min) && std::isnan(empty.Max) && std::isnan(empty.Mean));
}

TEST(TimeAxis, RefusesCrossedBoundsSetOneAtATimeAndSwapsThemSetTogether)
{
    TChart chart;
    TTimeAxis& axis = chart.BottomAxis();
    EXPECT_EQ(axis.Minimum(), 0);
    EXPECT_EQ(axis.Maximum(), 101);

    axis.SetMinMax(10, 20);
    EXPECT_THROW(axis.SetMinimum(20.5), Exception);
    EXPECT_THROW(axis.SetMaximum(9.5), Exception);
    EXPECT_EQ(axis.Minimum(), 10);
    EXPECT_EQ(axis.Maximum(), 20);
    axis.SetMinimum(20);  // equal bounds are allowed
    axis.SetMaximum(20);
    EXPECT_EQ(axis.Minimum(), 20);

    axis.SetMinMax(30, 25);
    EXPECT_EQ(axis.Minimum(), 25);
    EXPECT_EQ(axis.Maximum(), 30);
}

TEST(ValueAxis, FollowsTheActiveSeriesOnly)
{
    TChart chart;
    auto* cursor = chart.AddSeries(std::make_unique<TChartShape>());
    cursor->SetY0(0);
    cursor->SetY1(95);
    auto* a = chart.AddSeries(std::make_unique<TFastLineSeries>());
    auto* b = chart.AddSeries(std::make_unique<TFastLineSeries>());
    a->AddXY(1, -5);
    a->AddXY(2, 3);
    b->AddXY(1, 200);

    TValueAxis& axis = chart.LeftAxis();
    axis.AdjustNow();
    EXPECT_EQ(axis.Minimum(), -5);
    EXPECT_EQ(axis.Maximum(), 200);

    cursor->SetActive(false);
    b->SetActive(false);
    axis.AdjustNow();
    EXPECT_EQ(axis.Minimum(), -5);
    EXPECT_EQ(axis.Maximum(), 3);
}

TEST(TimeAxisTicker, LabelsHoursAndMinutesWithReadableSteps)
{
    EXPECT_EQ(TTimeAxisTicker::Label(0.5), "12:00");
    EXPECT_EQ(TTimeAxisTicker::Label(42674 + (7 * 60 + 5.9) / 1440.0), "07:05");
    EXPECT_EQ(TTimeAxisTicker::Label(-1.25), "06:00");

    struct Case {
        double range;
        int ticks;
        double step;
    };
    const Case cases[] = {{1.0, 10, 0.1}, {1.0, 9, 0.2}, {1.0, 4, 0.25}, {1.0, 3, 0.5}, {0.003, 4, 0.001}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(TTimeAxisTicker::ReadableStep(c.range, c.ticks), c.step) << c.range << "/" << c.ticks;
    // Labels 40 px wide need 49.6 px each.
    EXPECT_EQ(TTimeAxisTicker::FittingTickCount(500, 40), 10);
    EXPECT_EQ(TTimeAxisTicker::FittingTickCount(10, 40), 1);
}

TEST(FastLineSeries, LoadMergesPointsOutOfOrderOnceWithEqualXInTheOrderAdded)
{
    // Each row: the blocks a load hands over, and the merges that takes.
    struct Case {
        const char* name;
        std::vector<std::vector<TChartPoint>> blocks;
        std::size_t merges;
    };
    const std::vector<Case> cases = {
        {"ascending", {{{1, 1}, {2, 2}, {2, 3}}, {{2, 4}, {3, 5}}, {{4, 6}}}, 0},
        {"newest first", {{{5, 1}, {4, 2}}, {{3, 3}, {2, 4}}, {{1, 5}}}, 1},
        {"descending", {{{4, 6}, {3, 5}, {2, 4}}, {{2, 3}, {2, 2}}, {{1, 1}}}, 1},
        {"zig-zag", {{{3, 1}, {1, 2}, {3, 3}}, {{2, 4}, {5, 5}, {1, 6}}, {{3, 7}, {0, 8}}, {{5, 9}, {2, 10}}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TFastLineSeries series;
        // A point there before the load, with X equal to points the load adds.
        series.AddXY(1, 0);
        std::vector<TChartPoint> expected = {{1, 0}};
        {
            TSeriesLoad load({&series});
            for (const auto& block : c.blocks) {
                series.AddPoints(block.data(), block.size());
                expected.insert(expected.end(), block.begin(), block.end());
            }
            // Not merged yet: only the points in order are there.
            EXPECT_EQ(series.MergeCount(), 0u);
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [](const TChartPoint& a, const TChartPoint& b) { return a.X < b.X; });
        ExpectPoints(series, expected);
        EXPECT_EQ(series.MergeCount(), c.merges);
        double min = 0;
        double max = 0;
        ASSERT_TRUE(series.ValueRange(min, max));
        EXPECT_EQ(min, 0);
    }
}

TEST(FastLineSeries, LoadFinishMergesAtOnceAndTheHoldEndsWithoutASecondMerge)
{
    TFastLineSeries series;
    TSeriesLoad load({&series});
    const std::vector<TChartPoint> block = {{2, 1}, {1, 2}};
    series.AddPoints(block.data(), block.size());
    EXPECT_EQ(series.Count(), 1);
    load.Finish();
    ExpectPoints(series, {{1, 2}, {2, 1}});
    series.AddPoints(block.data(), block.size());
    EXPECT_EQ(series.Count(), 3);
    load.Finish();
    ExpectPoints(series, {{1, 2}, {1, 2}, {2, 1}, {2, 1}});
    EXPECT_EQ(series.MergeCount(), 2u);
}
