#include "bench/CompanionScaleBench.h"

#include "bench/BenchClock.h"
#include "app/MainForm.h"
#include "bench/ResidentMemory.h"
#include "bench/WindowBench.h"
#include "chart/Chart.h"
#include "chartdata/ChartDataFormat.h"
#include "common/Exception.h"
#include "tests/support/FakeVideoPlayer.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWindow>
#include <QtEndian>
#include <qcustomplot.h>

#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

constexpr float VideoSeconds = 3600;
constexpr int SeriesCount = 10;
constexpr qint64 SeriesPoints = 10000000;
constexpr qint64 BlockPoints = 65536;

// Seconds of processor time this thread has used: on a busy machine it
// tells what the work costs apart from the waiting for a processor.
double ThreadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void WriteAll(QFile& file, const char* data, qint64 size)
{
    if (file.write(data, size) != size)
        throw Exception(QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString()));
}

// Writes the file a block at a time, never holding it whole: slow waves, each
// series its own phase, spread evenly over the video.
void WriteLargeCompanionFile(const QString& fileName, TDateTime start)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("Cannot create %1: %2").arg(fileName, file.errorString()));
    char header[ChartDataHeaderSize];
    header[0] = static_cast<char>(ChartDataFormatByte);
    qToLittleEndian<double>(start, header + 1);
    qToLittleEndian<double>(start + VideoSeconds / SecondsPerDay, header + 9);
    header[17] = static_cast<char>(SeriesCount);
    WriteAll(file, header, sizeof header);

    const double step = VideoSeconds / SecondsPerDay / SeriesPoints;
    std::vector<TChartPoint> block(BlockPoints);
    for (int s = 0; s < SeriesCount; ++s) {
        char seriesHeader[SeriesHeaderSize] = {};
        std::snprintf(seriesHeader, SeriesHeaderSize, "Series %d", s + 1);
        qToLittleEndian<qint32>(static_cast<qint32>(SeriesPoints), seriesHeader + SeriesHeaderSize - 4);
        WriteAll(file, seriesHeader, sizeof seriesHeader);
        for (qint64 first = 0; first < SeriesPoints; first += BlockPoints) {
            const qint64 count = std::min(BlockPoints, SeriesPoints - first);
            for (qint64 i = 0; i < count; ++i) {
                const qint64 n = first + i;
                const double phase = 6.283185307179586 * (3.0 * n / SeriesPoints + s / 10.0);
                block[static_cast<std::size_t>(i)] = {start + n * step, 10.0 * s + 20.0 * std::sin(phase)};
            }
            qToLittleEndian<double>(block.data(), count * 2, block.data());
            WriteAll(file, reinterpret_cast<const char*>(block.data()), count * PointRecordSize);
        }
    }
    // Written back to the disk now, so that the writing does not slow down
    // the reading that is timed.
    if (!file.flush() || ::fsync(file.handle()) != 0)
        throw Exception(QStringLiteral("Cannot write %1").arg(fileName));
}

} // namespace

void PrintCompanionScaleFigures(const QTemporaryDir& folder)
{
    const TDateTime start = DateTimeFromQDateTime(QDateTime(QDate(2024, 5, 1), QTime(7, 0)));
    const QString companion = folder.filePath(QStringLiteral("scale.bcd"));
    std::fprintf(stderr, "writing %d series of %lld points\n", SeriesCount, SeriesPoints);
    WriteLargeCompanionFile(companion, start);

    auto ownedPlayer = std::make_unique<FakeVideoPlayer>();
    ownedPlayer->Duration = VideoSeconds;
    TfrmMain window(std::move(ownedPlayer));
    window.show();
    const Clock::time_point shown = Clock::now();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && SecondsSince(shown) < 5)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    QApplication::processEvents();

    const double readThreadBegin = ThreadSeconds();
    const double readSeconds = PlainReadSeconds(companion);
    const double readThreadSeconds = ThreadSeconds() - readThreadBegin;

    malloc_trim(0);
    ResetPeakResidentBytes();
    const std::int64_t residentBefore = ResidentBytes();
    int drawings = 0;
    QObject::connect(window.ChartAll->Plot(), &QCustomPlot::afterReplot, [&drawings] { ++drawings; });
    const double openThreadBegin = ThreadSeconds();
    const Clock::time_point openBegin = Clock::now();
    window.OpenVideoFile(folder.filePath(QStringLiteral("scale.mp4")));
    const double readIntoChartThreadSeconds = ThreadSeconds() - openThreadBegin;
    // Opening is over once the chart shows the series.
    while (drawings == 0 && SecondsSince(openBegin) < 600)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    const double openSeconds = SecondsSince(openBegin);
    const double openThreadSeconds = ThreadSeconds() - openThreadBegin;
    QApplication::processEvents();
    const std::int64_t peak = PeakResidentBytes();

    const double points = static_cast<double>(SeriesCount) * SeriesPoints;
    std::fprintf(stderr,
                 "read %.0f ms (%.0f ms processor), open %.0f ms (%.0f ms processor, %.0f ms before drawing) with %d drawings; "
                 "resident %.1f MB before, peak %.1f MB\n",
                 readSeconds * 1e3, readThreadSeconds * 1e3, openSeconds * 1e3, openThreadSeconds * 1e3,
                 readIntoChartThreadSeconds * 1e3, drawings,
                 static_cast<double>(residentBefore) / 1e6, static_cast<double>(peak) / 1e6);
    std::printf("bcd_open_vs_read_100m %.2f x\n", openSeconds / readSeconds);
    std::printf("peak_bytes_per_point_100m %.2f B\n", static_cast<double>(peak - residentBefore) / points);
    std::fflush(stdout);
}
