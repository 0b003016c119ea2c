#include "chartdata/ChartDataFile.h"

#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataIO.h"

#include <vector>

void SaveChartDataFile(const TChart& chart, TDateTime axisMin, TDateTime axisMax, const QString& fileName)
{
    qint64 totalPoints = 0;
    for (int i = 1; i < chart.SeriesCount(); ++i)
        totalPoints += chart.LineSeries(i)->Count();

    TChartDataWriter writer;
    writer.Begin(axisMin, axisMax, chart.SeriesCount() - 1, totalPoints);
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        const TFastLineSeries& series = *chart.LineSeries(i);
        writer.BeginSeries(series.Title(), series.Count());
        for (int p = 0; p < series.Count(); ++p)
            writer.AddPoint(series.XValue(p), series.YValue(p));
    }
    WriteChartDataFile(fileName, writer.Bytes());
}

TChartDataLayout ReadChartDataLayout(const QString& fileName)
{
    return ParseChartData(ReadChartDataFile(fileName), fileName);
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
