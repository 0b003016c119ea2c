#include "chartdata/ChartDataFile.h"

#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataIO.h"

#include <algorithm>
#include <vector>

void SaveChartDataFile(const TChart& chart, TDateTime axisMin, TDateTime axisMax, const QString& fileName)
{
    qint64 totalPoints = 0;
    for (int i = 1; i < chart.SeriesCount(); ++i)
        totalPoints += chart.LineSeries(i)->Count();

    TChartDataWriter writer;
    writer.Begin(axisMin, axisMax, chart.SeriesCount() - 1, totalPoints);
    // Points go to the writer a block at a time: one call for each point
    // costs ten times the copying itself.
    constexpr int BlockSize = 4096;
    std::vector<TChartPoint> block(BlockSize);
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        const TFastLineSeries& series = *chart.LineSeries(i);
        const int count = series.Count();
        writer.BeginSeries(series.Title(), count);
        for (int first = 0; first < count; first += BlockSize) {
            const int size = std::min(BlockSize, count - first);
            for (int p = 0; p < size; ++p)
                block[static_cast<std::size_t>(p)] = {series.XValue(first + p), series.YValue(first + p)};
            writer.AddPoints(block.data(), size);
        }
    }
    WriteChartDataFile(fileName, writer.Bytes());
}

TChartDataLayout ReadChartDataLayout(const QString& fileName, TLoadProgress* progress)
{
    return ParseChartData(ReadChartDataFile(fileName, progress), fileName);
}

void AppendStoredSeries(TChart& chart, const TChartDataLayout& data)
{
    std::vector<TChartPoint> points;
    for (std::size_t i = 0; i < data.Series().size(); ++i) {
        const TSeriesRecord& record = data.Series()[i];
        auto series = CreateChartSeries(chart, record.Title);
        points.resize(static_cast<std::size_t>(record.PointCount));
        data.DecodePoints(i, points.data());
        series->AddPoints(points.data(), points.size());
        chart.AddSeries(std::move(series));
    }
}
