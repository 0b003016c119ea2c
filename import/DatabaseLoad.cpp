#include "import/DatabaseLoad.h"

#include "chart/ChartSeries.h"
#include "database/Database.h"

#include <cmath>

namespace {

// Points wait in blocks of this many records before they go to the chart.
constexpr std::size_t BlockRecords = 65536;
// Records between two reports of progress.
constexpr qint64 ProgressRecords = 4096;

void Flush(const std::vector<TFastLineSeries*>& series, std::vector<std::vector<TChartPoint>>& columns)
{
    for (std::size_t k = 0; k < series.size(); ++k) {
        series[k]->AddPoints(columns[k].data(), columns[k].size());
        columns[k].clear();
    }
}

} // namespace

void LoadDatabaseTable(TDatabase& database, const QString& table, const QString& timeField, const TLoadWindow& window,
                       bool dateChecked, const QStringList& fields, const std::vector<TFastLineSeries*>& series,
                       TLoadProgress* progress)
{
    qint64 records = 0;
    std::vector<std::vector<TChartPoint>> columns(series.size());
    TSeriesLoad load(series);
    try {
        const std::unique_ptr<TDatabaseRows> rows = database.Select(table, timeField, window.Start, window.End);
        const int time = rows->FieldIndex(timeField);
        std::vector<int> indexes;
        for (const QString& field : fields)
            indexes.push_back(rows->FieldIndex(field));
        while (rows->Next()) {
            if (++records % ProgressRecords == 0)
                ReportLoadProgress(progress, records, -1);
            double x = rows->TimeValue(time);
            if (!dateChecked) {
                double whole = 0;
                x = std::fabs(std::modf(x, &whole));
            }
            // The fields are read in order: when one cannot be read, the
            // fields before it keep the record's point.
            for (std::size_t k = 0; k < series.size(); ++k)
                columns[k].push_back({x, rows->NumberValue(indexes[k])});
            if (!columns.empty() && columns[0].size() >= BlockRecords)
                Flush(series, columns);
        }
    } catch (...) {
        Flush(series, columns);
        throw;
    }
    Flush(series, columns);
    load.Finish();
}
