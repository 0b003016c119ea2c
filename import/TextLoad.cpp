#include "import/TextLoad.h"

#include "chart/ChartSeries.h"
#include "import/TextImport.h"

namespace {

// Hands each column to its series and frees it at once, so that a large load
// does not hold every column twice.
void AppendColumns(const std::vector<TFastLineSeries*>& series, std::vector<std::vector<TChartPoint>>& columns)
{
    for (std::size_t k = 0; k < series.size() && k < columns.size(); ++k) {
        series[k]->ReservePoints(columns[k].size());
        series[k]->AddPoints(columns[k].data(), columns[k].size());
        std::vector<TChartPoint>().swap(columns[k]);
    }
}

} // namespace

void LoadTextFile(const QString& fileName, char delimiter, int timeField, const TLoadWindow& window,
                  const TTextLocale& locale, const std::vector<TFastLineSeries*>& series, TLoadProgress* progress)
{
    TTextImportOptions options;
    options.Delimiter = delimiter;
    options.TimeField = timeField;
    options.Window = window;
    for (const TFastLineSeries* one : series)
        options.DataFields.push_back(one->Tag() + 1);

    std::vector<std::vector<TChartPoint>> columns(series.size());
    try {
        ImportTextFile(fileName, options, locale, columns, progress);
    } catch (const LoadCancelled&) {
        // The caller takes the series away; their points would go with them.
        throw;
    } catch (...) {
        AppendColumns(series, columns);
        throw;
    }
    AppendColumns(series, columns);
}
