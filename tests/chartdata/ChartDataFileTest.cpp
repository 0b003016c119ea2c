#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <vector>

namespace {

// Points with X rising in uneven steps and Y values that are not round, so
// a point moved, dropped or rounded shows up.
std::vector<TChartPoint> MakePoints(int count, double seed)
{
    std::vector<TChartPoint> points;
    double x = 45000 + seed;
    for (int i = 0; i < count; ++i) {
        x += (i % 7 == 0 ? 0.0 : 1e-6 * (1 + i % 5));  // equal X now and then
        points.push_back({x, seed * 1000 + i / 3.0 - 1e-300 * (i % 2)});
    }
    return points;
}

} // namespace

TEST(ChartDataFile, SavedChartLoadsBackPointForPoint)
{
    // Empty, single, block-sized and several-block series, one of them hidden.
    const std::vector<int> sizes = {0, 1, 4096, 4097, 12289};
    TChart saved;
    saved.AddSeries(std::make_unique<TChartShape>());
    std::vector<std::vector<TChartPoint>> expected;
    for (std::size_t s = 0; s < sizes.size(); ++s) {
        expected.push_back(MakePoints(sizes[s], static_cast<double>(s)));
        TFastLineSeries* series = AddChartSeries(saved, QByteArray("Series ") + QByteArray::number(int(s)));
        series->AddPoints(expected.back().data(), expected.back().size());
        series->SetActive(s != 2);
    }

    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("clip.bcd"));
    SaveChartDataFile(saved, 45000.25, 45000.5, fileName);

    const TChartDataLayout layout = ReadChartDataLayout(fileName);
    EXPECT_EQ(layout.AxisMin(), 45000.25);
    EXPECT_EQ(layout.AxisMax(), 45000.5);
    TChart loaded;
    loaded.AddSeries(std::make_unique<TChartShape>());
    AppendStoredSeries(loaded, layout);

    ASSERT_EQ(loaded.SeriesCount(), saved.SeriesCount());
    for (int s = 1; s < loaded.SeriesCount(); ++s) {
        const TFastLineSeries& series = *loaded.LineSeries(s);
        const std::vector<TChartPoint>& points = expected[static_cast<std::size_t>(s - 1)];
        EXPECT_EQ(series.Title(), saved.LineSeries(s)->Title());
        EXPECT_TRUE(series.Active()) << "a hidden series is stored and comes back visible";
        EXPECT_EQ(series.SeriesColor(), SeriesColorAt(s));
        ASSERT_EQ(series.Count(), static_cast<int>(points.size())) << "series " << s;
        for (int p = 0; p < series.Count(); ++p) {
            ASSERT_EQ(series.XValue(p), points[static_cast<std::size_t>(p)].X) << "series " << s << " point " << p;
            ASSERT_EQ(series.YValue(p), points[static_cast<std::size_t>(p)].Y) << "series " << s << " point " << p;
        }
    }
}
