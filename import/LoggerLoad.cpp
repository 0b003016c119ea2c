#include "import/LoggerLoad.h"

#include "chart/ChartSeries.h"

#include <QHash>

QStringList LoggerSeriesTitles(const std::vector<TLoggerNode>& nodes, const std::vector<int>& channels)
{
    QHash<QString, int> uses;
    for (const TLoggerNode& node : nodes)
        if (node.Channel)
            ++uses[node.Name];
    QStringList titles;
    for (const int channel : channels) {
        const TLoggerNode& node = nodes[std::size_t(channel)];
        QString title = node.Name;
        if (uses.value(node.Name) > 1 && node.Parent >= 0)
            title += QStringLiteral(" (%1)").arg(nodes[std::size_t(node.Parent)].Name);
        if (!node.Unit.isEmpty())
            title += QStringLiteral(" [%1]").arg(node.Unit);
        titles << title;
    }
    return titles;
}

void LoadLoggerChannels(TLoggerFile& file, const std::vector<int>& channels, const TLoggerTime& time,
                        const TLoadWindow& window, const std::vector<TFastLineSeries*>& series,
                        TLoadProgress* progress)
{
    TSeriesLoad load(series);
    std::vector<TChartPoint> points;
    file.Read(
        channels, time, window,
        [&](std::size_t channel, const TDateTime* times, const double* values, std::size_t count) {
            points.resize(count);
            for (std::size_t i = 0; i < count; ++i)
                points[i] = {times[i], values[i]};
            series.at(channel)->AddPoints(points.data(), count);
        },
        progress);
    load.Finish();
}
