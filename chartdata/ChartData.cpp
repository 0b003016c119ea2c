#include "chartdata/ChartData.h"

#include "chart/Chart.h"

const std::array<QColor, 16> SeriesColors = {
    QColor(0x02, 0xFF, 0x01), QColor(0x09, 0xD0, 0x54), QColor(0xFF, 0x99, 0x00), QColor(0x65, 0x99, 0xFF),
    QColor(0x00, 0xFF, 0xFF), QColor(0xFF, 0xDE, 0x00), QColor(0xFF, 0x00, 0xFF), QColor(0x50, 0x50, 0xF0),
    QColor(0x00, 0x80, 0x80), QColor(0x00, 0x00, 0x80), QColor(0x80, 0x00, 0x00), QColor(0x00, 0x80, 0x00),
    QColor(0x80, 0x80, 0x00), QColor(0x80, 0x00, 0x80), QColor(0x00, 0x00, 0xFF), QColor(0x50, 0xF0, 0x09),
};

QColor SeriesColorAt(int position)
{
    return SeriesColors[static_cast<std::size_t>(position) % SeriesColors.size()];
}

std::unique_ptr<TFastLineSeries> CreateChartSeries(int position, const QByteArray& title)
{
    auto series = std::make_unique<TFastLineSeries>();
    series->SetLineWidth(2);
    series->SetTitle(title);
    series->SetSeriesColor(SeriesColorAt(position));
    return series;
}

TFastLineSeries* AddChartSeries(TChart& chart, const QByteArray& title)
{
    return chart.AddSeries(CreateChartSeries(chart.SeriesCount(), title));
}

void FreeDataSeries(TChart& chart)
{
    for (int i = chart.SeriesCount() - 1; i >= 1; --i)
        chart.FreeSeries(i);
}
