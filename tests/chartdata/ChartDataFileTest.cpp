#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataFile.h"
#include "chartdata/ChartDataIO.h"
#include "common/Exception.h"
#include "common/MemoryLeft.h"
#include "tests/support/HugeChartDataFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <limits>
#include <vector>

#include <sys/resource.h>

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

    TChartDataFileReader reader(fileName);
    EXPECT_EQ(reader.AxisMin(), 45000.25);
    EXPECT_EQ(reader.AxisMax(), 45000.5);
    TChart loaded;
    loaded.AddSeries(std::make_unique<TChartShape>());
    reader.AppendSeries(loaded);

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

TEST(ChartDataFile, DamagedFileGivesTheSeriesStoredWholeBeforeTheDamage)
{
    TChart saved;
    saved.AddSeries(std::make_unique<TChartShape>());
    const std::vector<TChartPoint> points = MakePoints(20000, 1);
    for (const char* title : {"whole", "cut"})
        AddChartSeries(saved, title)->AddPoints(points.data(), points.size());
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("clip.bcd"));
    SaveChartDataFile(saved, 45000.25, 45000.5, fileName);
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 1));
    file.close();

    TChartDataFileReader reader(fileName);
    TChart loaded;
    loaded.AddSeries(std::make_unique<TChartShape>());
    try {
        reader.AppendSeries(loaded);
        ADD_FAILURE() << "a cut file read as whole";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("The file \"%1\" is damaged: series 2 announces 20000 points "
                                              "(320000 bytes) but only 319999 bytes follow.").arg(fileName));
    }
    ASSERT_EQ(loaded.SeriesCount(), 2);
    EXPECT_EQ(loaded.LineSeries(1)->Title(), "whole");
    EXPECT_EQ(loaded.LineSeries(1)->Count(), 20000);
    EXPECT_EQ(loaded.LineSeries(1)->YValue(19999), points.back().Y);
}

TEST(ChartDataFile, PointsWithATimeOrValueThatIsNoFiniteNumberAreLeftOut)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<TChartPoint> stored = {{1, 10}, {nan, 2}, {2, inf}, {-inf, 3}, {3, nan},
                                             {4, -inf}, {inf, 4}, {5, 50}};
    TChartDataWriter writer;
    writer.Begin(0, 10, 1, static_cast<qint64>(stored.size()));
    writer.BeginSeries("odd", static_cast<qint64>(stored.size()));
    writer.AddPoints(stored.data(), static_cast<qsizetype>(stored.size()));
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("clip.bcd"));
    WriteChartDataFile(fileName, writer.Bytes());

    TChart loaded;
    loaded.AddSeries(std::make_unique<TChartShape>());
    TChartDataFileReader(fileName).AppendSeries(loaded);
    ASSERT_EQ(loaded.SeriesCount(), 2);
    const TFastLineSeries& series = *loaded.LineSeries(1);
    ASSERT_EQ(series.Count(), 2);
    EXPECT_EQ(series.XValue(0), 1);
    EXPECT_EQ(series.YValue(0), 10);
    EXPECT_EQ(series.XValue(1), 5);
    EXPECT_EQ(series.YValue(1), 50);
}

TEST(ChartDataFile, WholeFileTooLargeForMemorySaysSoAndNamesTheFile)
{
    if (!MemoryRefusesHugeChartData())
        GTEST_SKIP() << "this machine could hand out the memory for the file's points";
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("clip.bcd"));
    WriteHugeChartDataFile(fileName);

    // The chart keeps what it had and gains nothing.
    TChart loaded;
    loaded.AddSeries(std::make_unique<TChartShape>());
    try {
        TChartDataFileReader(fileName).AppendSeries(loaded);
        ADD_FAILURE() << "a file too large for memory was read";
    } catch (const TChartDataTooLarge& e) {
        const QString message = e.Message();
        EXPECT_TRUE(message.startsWith(QStringLiteral("The chart data file \"%1\" does not fit in memory: its 2147483647 points "
                                                      "need 36508 MB, and ").arg(fileName))) << message.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral(" MB are free. The file is kept as it is."))) << message.toStdString();
    }
    EXPECT_EQ(loaded.SeriesCount(), 1);
}

// Under a limit of a few GB on what the process may map, a sparse file of
// several GB is refused by its whole need before any room is asked for: the
// room for one series at a time would be granted, and where a cgroup rather
// than the address space bounds the process, the pages written later could
// not be had and the kernel would kill it.
TEST(ChartDataFile, AFileLargerThanTheMemoryLeftIsRefusedBeforeAnyRoomIsTaken)
{
    QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("clip.bcd"));
    // Three series of 1.6 GB each.
    WriteSparseChartDataFile(fileName, {100000000, 100000000, 100000000});
    TChart loaded;
    loaded.AddSeries(std::make_unique<TChartShape>());
    TChartDataFileReader reader(fileName);

    const auto statusField = [](const char* name) {
        QFile status(QStringLiteral("/proc/self/status"));
        qint64 bytes = 0;
        if (status.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.startsWith(name))
                    bytes = line.mid(int(qstrlen(name))).simplified().split(' ').value(0).toLongLong() * 1024;
            }
        }
        return bytes;
    };
    const qint64 vmSize = statusField("VmSize:");
    const qint64 peakBefore = statusField("VmPeak:");
    ASSERT_GT(vmSize, 0);
    rlimit before{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &before), 0);
    rlimit lowered = before;
    lowered.rlim_cur = static_cast<rlim_t>(vmSize + (qint64(5) << 29));  // 2.5 GB more than mapped now
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &lowered), 0);
    QString message;
    bool tooLarge = false;
    try {
        reader.AppendSeries(loaded);
    } catch (const TChartDataTooLarge& e) {
        tooLarge = true;
        message = e.Message();
    } catch (const Exception& e) {
        message = e.Message();
    }
    ASSERT_EQ(::setrlimit(RLIMIT_AS, &before), 0);
    // No room was taken on the way: the most ever mapped did not grow by a
    // series.
    EXPECT_LT(statusField("VmPeak:"), std::max(peakBefore, vmSize) + (qint64(1) << 29));
    EXPECT_TRUE(tooLarge) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("its 300000000 points need 5100 MB, and "))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral(" MB are free."))) << message.toStdString();
    EXPECT_EQ(loaded.SeriesCount(), 1);
}

