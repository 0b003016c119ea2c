#include "bench/DatabaseBench.h"

#include "bench/OffscreenApplication.h"
#include "bench/ResidentMemory.h"
#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "common/Exception.h"
#include "database/Database.h"
#include "import/DatabaseLoad.h"
#include "import/LoadWindow.h"

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <unistd.h>

namespace {

constexpr int Records = 1000000;

// The records: 10 ms apart from 1 March 2024, 00:00.
const char* const WindowStartText = "2024-03-01 00:00:00";
const char* const WindowEndText = "2024-03-01 02:46:40";

double Seconds(const std::function<void()>& act)
{
    const auto start = std::chrono::steady_clock::now();
    act();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool Shell(const QString& command)
{
    if (std::system(command.toLocal8Bit().constData()) == 0)
        return true;
    std::fprintf(stderr, "failed: %s\n", qPrintable(command));
    return false;
}

// The tab's load of every record into three series; the number of points.
std::size_t Load(const QString& connectionString, const QString& table)
{
    TChart chart;
    chart.AddSeries(std::make_unique<TChartShape>());
    std::vector<TFastLineSeries*> series;
    const QStringList fields{"a", "b", "c"};
    for (const QString& field : fields)
        series.push_back(AddChartSeries(chart, field.toUtf8()));
    const TLoadWindow window = MakeLoadWindow(EncodeDate(QDate(2024, 3, 1)), Records / 100.0f);
    const auto database = ConnectDatabase(connectionString);
    LoadDatabaseTable(*database, table, QStringLiteral("t"), window, true, fields, series);
    return static_cast<std::size_t>(series[0]->Count());
}

void Report(const char* name, std::size_t rows, double seconds, double clientSeconds, const char* ratioName)
{
    std::fprintf(stderr, "%s: %zu rows in %.3f s, the client %.3f s\n", name, rows, seconds, clientSeconds);
    std::printf("%s %.0f rows/s\n", name, static_cast<double>(rows) / seconds);
    std::printf("%s %.2f x\n", ratioName, seconds / clientSeconds);
}

// Three records that each hold 100 MB of text in a field that is not loaded:
// how far the resident size rises above where it stood during the load.
int WideRowsFigure(const QString& psql, const QString& port)
{
    if (!Shell(psql + "-d plotreel_bench -c \"create table wide (t timestamp, v float8, notes text)\" -c \"insert "
                      "into wide select timestamp '2024-03-01' + i * interval '1 s', i, repeat('x', 100000000) "
                      "from generate_series(0, 2) i\""))
        return 1;
    TChart chart;
    chart.AddSeries(std::make_unique<TChartShape>());
    const std::vector<TFastLineSeries*> series{AddChartSeries(chart, "v")};
    const auto database = ConnectDatabase(QStringLiteral("postgresql://postgres@127.0.0.1:%1/plotreel_bench").arg(port));
    const TLoadWindow window = MakeLoadWindow(EncodeDate(QDate(2024, 3, 1)), 10);
    ResetPeakResidentBytes();
    const std::int64_t before = ResidentBytes();
    LoadDatabaseTable(*database, QStringLiteral("wide"), QStringLiteral("t"), window, true, {"v"}, series);
    const double megabytes = static_cast<double>(PeakResidentBytes() - before) / (1 << 20);
    std::fprintf(stderr, "db_pg_wide_rows: %lld points\n", static_cast<long long>(series[0]->Count()));
    std::printf("db_pg_wide_rows_peak %.0f MB\n", megabytes);
    return 0;
}

int PostgreSqlFigures(const QString& port)
{
    const QString psql = QStringLiteral("psql -q -X -h 127.0.0.1 -p %1 -U postgres ").arg(port);
    if (!Shell(psql + "-d postgres -c 'drop database if exists plotreel_bench' -c 'create database plotreel_bench'")
        || !Shell(psql + QStringLiteral("-d plotreel_bench -c \"create table bench (t timestamp, a float8, b float8, "
                                        "c float8)\" -c \"insert into bench select timestamp '2024-03-01' + i * "
                                        "interval '10 ms', i * 0.5, -i / 3.0, i % 100 from generate_series(0, %1) i\"")
                                 .arg(Records - 1)))
        return 1;
    const QString select = QStringLiteral("select * from bench where t between '%1' and '%2'")
                               .arg(QLatin1String(WindowStartText), QLatin1String(WindowEndText));
    const QString copy = psql + "-d plotreel_bench -c \"\\copy (" + select + ") to '/dev/null'\"";
    Shell(copy); // warms the server's cache for both
    std::size_t rows = 0;
    const double seconds = Seconds([&] {
        rows = Load(QStringLiteral("postgresql://postgres@127.0.0.1:%1/plotreel_bench").arg(port), "bench");
    });
    const double copySeconds = Seconds([&] { Shell(copy); });
    Report("db_pg_rows_s", rows, seconds, copySeconds, "db_pg_vs_copy");
    return WideRowsFigure(psql, port);
}

int SQLiteFigures()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("bench.db"));
    const QString sqlite = QStringLiteral("sqlite3 '%1' ").arg(file);
    if (!Shell(sqlite + QStringLiteral("\"create table bench (t text, a real, b real, c real); "
                                       "insert into bench with recursive n(i) as (select 0 union all select i + 1 "
                                       "from n where i < %1) select strftime('%Y-%m-%d %H:%M:%f', '2024-03-01', "
                                       "'+' || (i / 100.0) || ' seconds'), i * 0.5, -i / 3.0, i % 100 from n\"")
                            .arg(Records - 1)))
        return 1;
    const QString select = QStringLiteral("\"select * from bench where t between '%1' and '%2.000999'\" > /dev/null")
                               .arg(QLatin1String(WindowStartText), QLatin1String(WindowEndText));
    Shell(sqlite + select); // the file in the cache for both
    std::size_t rows = 0;
    const double seconds = Seconds([&] {
        rows = Load(QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=%1;").arg(file), "bench");
    });
    const double shellSeconds = Seconds([&] { Shell(sqlite + select); });
    Report("db_sqlite_rows_s", rows, seconds, shellSeconds, "db_sqlite_vs_cli");
    return 0;
}

} // namespace

int RunDatabaseBench(int argc, char** argv)
{
    const QString port = qEnvironmentVariable("PLOTREEL_PG_PORT");
    if (port.isEmpty()) {
        // Again, under a private server.
        const char* script = PLOTREEL_SOURCE_DIR "/scripts/postgres.sh";
        execl("/bin/bash", "bash", script, argv[0], "db", static_cast<char*>(nullptr));
        std::perror("cannot run scripts/postgres.sh");
        return 1;
    }
    // The chart is never shown: no display needed.
    const auto application = OffscreenApplication(argv[0]);
    (void)argc;
    try {
        const int pg = PostgreSqlFigures(port);
        const int lite = SQLiteFigures();
        return pg != 0 ? pg : lite;
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
