#include "bench/XlsxImportBench.h"

#include "bench/BenchClock.h"
#include "bench/OffscreenChart.h"
#include "bench/ResidentMemory.h"
#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "common/Exception.h"
#include "import/ExcelLoad.h"
#include "spreadsheet/Workbook.h"
#include "spreadsheet/ZipPackage.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <zip.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

// Processor time of the whole process, all threads: on a busy machine a
// steadier figure than the time on the clock.
double ProcessorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Writes the bench's workbook: .xlsx or, by the name's end, .xls; the rows in
// time order, or newest first.
bool GenerateWorkbook(const QString& fileName, bool newestFirst = false)
{
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedChannels);
    QStringList arguments = {QStringLiteral(PLOTREEL_SOURCE_DIR "/bench/make-bench-workbook.py"), fileName};
    if (newestFirst)
        arguments << QStringLiteral("200000") << QStringLiteral("newest-first");
    python.start(QStringLiteral("/usr/bin/python3"), arguments);
    return python.waitForFinished(-1) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
}

// The name of the archive's largest part: the sheet, in a workbook of one.
QByteArray LargestPart(const QString& fileName)
{
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY, &code);
    if (!archive)
        return {};
    QByteArray largest;
    zip_uint64_t largestSize = 0;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) == 0 && stat.size >= largestSize) {
            largestSize = stat.size;
            largest = stat.name;
        }
    }
    zip_discard(archive);
    return largest;
}

// Series for data columns B to F, as the tab makes them for time column A.
std::vector<TFastLineSeries*> AddDataSeries(TChart& chart)
{
    std::vector<TFastLineSeries*> series;
    for (int tag = 1; tag <= 5; ++tag) {
        TFastLineSeries* one = AddChartSeries(chart, QByteArray(1, char('A' + tag)));
        one->SetTag(tag);
        series.push_back(one);
    }
    return series;
}

// The same rows as an Excel 97-2003 workbook, whose worksheets they fill
// one after the other: the time to load them all as the tab loads one.
double XlsLoadSeconds(TChart& chart, const QString& fileName)
{
    const auto start = std::chrono::steady_clock::now();
    const QStringList sheets = WorksheetNames(fileName);
    const std::vector<TFastLineSeries*> series = AddDataSeries(chart);
    for (int sheet = 0; sheet < sheets.size(); ++sheet)
        LoadWorksheet(fileName, sheet, 1, TLoadWindow{-1e6, 1e6}, series);
    const double seconds = SecondsSince(start);
    std::size_t points = 0;
    for (const TFastLineSeries* one : series)
        points += static_cast<std::size_t>(one->Count());
    std::fprintf(stderr, "%.1f MB, %lld worksheets, %zu points\n", static_cast<double>(QFileInfo(fileName).size()) / 1e6,
                 static_cast<long long>(sheets.size()), points);
    return seconds;
}

} // namespace

int RunXlsxImportBench(int argc, char** argv)
{
    QTemporaryDir folder;
    QString fileName;
    if (argc > 2) {
        fileName = QString::fromLocal8Bit(argv[2]);
    } else {
        fileName = folder.filePath(QStringLiteral("bench.xlsx"));
        std::fprintf(stderr, "generating %s\n", qPrintable(fileName));
        if (!folder.isValid() || !GenerateWorkbook(fileName)) {
            std::fprintf(stderr, "cannot write %s (is python3-xlsxwriter installed?)\n", qPrintable(fileName));
            return 1;
        }
    }

    TOffscreenChart offscreen(argv[0]);
    TChart& chart = offscreen.Chart;

    try {
        // What the tab does with time column A and data columns B to F.
        const TLoadWindow window{-1e6, 1e6};
        const std::int64_t residentBefore = ResidentBytes();
        auto start = std::chrono::steady_clock::now();
        double processorStart = ProcessorSeconds();
        const std::vector<TFastLineSeries*> series = AddDataSeries(chart);
        LoadWorksheet(fileName, 0, 1, window, series);
        const double loadSeconds = SecondsSince(start);
        const double loadProcessor = ProcessorSeconds() - processorStart;
        const std::int64_t peakGrowth = PeakResidentBytes() - residentBefore;
        std::size_t points = 0;
        for (const TFastLineSeries* one : series)
            points += static_cast<std::size_t>(one->Count());

        start = std::chrono::steady_clock::now();
        std::size_t cells = 0;
        const TUsedRange used = ReadWorksheet(fileName, 0, [&cells](const TSheetRow& row) { cells += row.Cells.size(); });
        const double cellsSeconds = SecondsSince(start);

        const QByteArray part = LargestPart(fileName);
        start = std::chrono::steady_clock::now();
        processorStart = ProcessorSeconds();
        std::size_t inflated = 0;
        TZipPackage(fileName).ReadPart(part, [&inflated](const char*, std::size_t size) {
            inflated += size;
            return true;
        });
        const double inflateSeconds = SecondsSince(start);
        const double inflateProcessor = ProcessorSeconds() - processorStart;

        std::fprintf(stderr, "%.1f MB, %d rows, %zu cells, %zu points; %s inflates to %.1f MB\n",
                     static_cast<double>(QFileInfo(fileName).size()) / 1e6, used.RowCount(), cells, points,
                     part.constData(), static_cast<double>(inflated) / 1e6);
        std::printf("xlsx_load_s %.3f s\n", loadSeconds);
        std::printf("xlsx_cells_s %.3f s\n", cellsSeconds);
        std::printf("xlsx_inflate_s %.3f s\n", inflateSeconds);
        std::printf("xlsx_load_cpu_s %.3f s\n", loadProcessor);
        std::printf("xlsx_inflate_cpu_s %.3f s\n", inflateProcessor);
        // Beyond the points themselves (16 bytes each).
        std::printf("xlsx_load_extra_mb %.1f MB\n",
                    static_cast<double>(peakGrowth - static_cast<std::int64_t>(points) * 16) / 1e6);

        // The same rows newest first: every block goes before the points there.
        const QString newestFirst = folder.filePath(QStringLiteral("bench-desc.xlsx"));
        if (argc <= 2 && GenerateWorkbook(newestFirst, true)) {
            const std::vector<TFastLineSeries*> descending = AddDataSeries(chart);
            start = std::chrono::steady_clock::now();
            LoadWorksheet(newestFirst, 0, 1, window, descending);
            std::printf("xlsx_load_desc_s %.3f s\n", SecondsSince(start));
        }
        const QString xlsName = folder.filePath(QStringLiteral("bench.xls"));
        std::fprintf(stderr, "generating %s\n", qPrintable(xlsName));
        if (!folder.isValid() || !GenerateWorkbook(xlsName)) {
            std::fprintf(stderr, "cannot write %s (is python3-xlwt installed?)\n", qPrintable(xlsName));
            return 1;
        }
        std::printf("xls_load_s %.3f s\n", XlsLoadSeconds(chart, xlsName));
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
