#include "bench/CsvImportBench.h"

#include "bench/BenchPython.h"
#include "bench/OffscreenChart.h"
#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "common/Exception.h"
#include "import/TextFields.h"
#include "import/TextLoad.h"

#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <optional>

namespace {

constexpr int GeneratedLines = 5000000;

// Lines like "07:00:01.250,1.5,-2.25,3e-3,42", 10 ms apart from 07:00:00.
bool GenerateCsv(const QString& fileName)
{
    std::FILE* out = std::fopen(QFile::encodeName(fileName).constData(), "wb");
    if (!out)
        return false;
    for (int i = 0; i < GeneratedLines; ++i) {
        const long long ms = 7LL * 3600 * 1000 + 10LL * i;
        std::fprintf(out, "%02lld:%02lld:%02lld.%03lld,%d.5,-2.25,3e-3,%d\n", ms / 3600000, ms / 60000 % 60,
                     ms / 1000 % 60, ms % 1000, i % 100, i % 1000);
    }
    return std::fclose(out) == 0;
}

char CommaDelimiter()
{
    for (const TTextDelimiter& delimiter : TextDelimiters) {
        if (qstrcmp(delimiter.Name, "COMMA") == 0)
            return delimiter.Character;
    }
    return ',';
}

// The seconds pandas.read_csv takes for the file with its times as datetimes,
// or a negative number, said why on stderr, when pandas cannot be run.
double PandasSeconds(const QString& fileName)
{
    const std::optional<QByteArray> output =
        PythonScriptOutput("csv_vs_pandas", "pandas-read-csv.py", {fileName}, "python3-pandas");
    bool ok = output.has_value();
    const double seconds = ok ? output->trimmed().toDouble(&ok) : 0;
    if (!ok || seconds <= 0) {
        if (output)
            std::fprintf(stderr, "csv_vs_pandas skipped: pandas printed no time\n");
        return -1;
    }
    return seconds;
}

} // namespace

int RunCsvImportBench(int argc, char** argv)
{
    QTemporaryDir folder;
    QString fileName;
    if (argc > 2) {
        fileName = QString::fromLocal8Bit(argv[2]);
    } else {
        fileName = folder.filePath(QStringLiteral("bench.csv"));
        std::fprintf(stderr, "generating %d lines into %s\n", GeneratedLines, qPrintable(fileName));
        if (!folder.isValid() || !GenerateCsv(fileName)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
            return 1;
        }
    }

    TOffscreenChart offscreen(argv[0]);
    TChart& chart = offscreen.Chart;

    // What the text tab does with data fields 2 to 5 ticked, the date box
    // unticked and a video of a whole day. The generated file is written with
    // a decimal point and without AM/PM, so the figure does not depend on the
    // regional settings of the machine.
    const TLoadWindow window = MakeLoadWindow(StartTranslationTime(false, 0, 0), 24 * 60 * 60);
    const TTextLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));

    const auto start = std::chrono::steady_clock::now();
    std::vector<TFastLineSeries*> series;
    for (int index = 1; index <= 4; ++index) {
        TFastLineSeries* one = AddChartSeries(chart, QByteArray::number(index + 1));
        one->SetShowInLegend(true);
        one->SetTag(index);
        series.push_back(one);
    }
    try {
        LoadTextFile(fileName, CommaDelimiter(), 1, window, locale, series);
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const double megabytes = static_cast<double>(QFileInfo(fileName).size()) / 1e6;
    std::size_t points = 0;
    for (const TFastLineSeries* one : series)
        points += static_cast<std::size_t>(one->Count());
    std::fprintf(stderr, "%.1f MB, %zu points\n", megabytes, points);
    std::printf("csv_import_mb_s %.1f MB/s\n", megabytes / seconds);
    std::printf("csv_import_s %.3f s\n", seconds);
    std::fflush(stdout);
    if (const double pandas = PandasSeconds(fileName); pandas > 0) {
        std::fprintf(stderr, "pandas.read_csv %.3f s\n", pandas);
        std::printf("csv_vs_pandas %.3f x\n", seconds / pandas);
    }
    return 0;
}
