#include "bench/ChartBench.h"

#include "bench/BenchClock.h"
#include "bench/PeerScaleBench.h"
#include "app/DataStrip.h"
#include "app/MainForm.h"
#include "bench/ResidentMemory.h"
#include "bench/WindowBench.h"
#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataFile.h"
#include "common/Exception.h"
#include "tests/support/FakeVideoPlayer.h"
#include "video/VideoPlayer.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWindow>
#include <qcustomplot.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include <malloc.h>

namespace {

constexpr float VideoSeconds = 600;
constexpr int SmallPointCount = 1000;
constexpr int LargeSeriesCount = 10;
constexpr int LargeSeriesPoints = 1000000;
constexpr int PositionReports = 500;
constexpr int WarmUpReports = 20;
constexpr int Replots = 31;
// The width of pyqtgraph's lines: its default pen.
constexpr int PeerPenWidth = 1;

// How far the view moves on before each timed repaint, a share of its width.
constexpr double ViewShift = 0.001;
constexpr int ScaleSmallPoints = 100000;
constexpr int ScaleLargePoints = 10000000;
// The zoomed view's share of the whole.
constexpr double ZoomShare = 0.01;
const QSize ChartSize(1200, 200);

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(std::initializer_list<QWidget*> widgets)
    {
        for (QWidget* widget : widgets)
            widget->installEventFilter(this);
    }
    int Paints(const QObject* widget) const { return mCounts.value(widget); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++mCounts[watched];
        return false;
    }

private:
    QHash<const QObject*, int> mCounts;
};

// The chart's series: a slow wave with noise on it, each series its own
// phase, spread evenly over the video, held as a loader holds them. With
// copy, the points also go there as doubles: the keys, which all series
// share, then each series' values.
void FillChart(TChart& chart, int seriesCount, int pointCount, TDateTime start, std::FILE* copy = nullptr)
{
    std::mt19937 random(12345);
    std::normal_distribution<double> noise(0.0, 0.5);
    const auto count = static_cast<std::size_t>(pointCount);
    std::vector<TChartPoint> points(count);
    std::vector<double> copied(copy ? count : 0);
    const double step = VideoSeconds / SecondsPerDay / pointCount;
    const auto write = [copy, &copied] {
        if (std::fwrite(copied.data(), sizeof(double), copied.size(), copy) != copied.size())
            throw Exception(QStringLiteral("Cannot write the points for the peer"));
    };
    if (copy) {
        for (std::size_t i = 0; i < count; ++i)
            copied[i] = start + static_cast<double>(i) * step;
        write();
    }
    for (int s = 0; s < seriesCount; ++s) {
        for (int i = 0; i < pointCount; ++i) {
            const double phase = 6.283185307179586 * (3.0 * i / pointCount + s / 10.0);
            points[static_cast<std::size_t>(i)] = {start + i * step, 10.0 * s + 20.0 * std::sin(phase) + noise(random)};
        }
        // Room made first, as the loaders make it (on huge pages).
        TFastLineSeries* series = AddChartSeries(chart, QByteArray("Series ") + QByteArray::number(s + 1));
        series->ReservePoints(count);
        series->AddPoints(points.data(), points.size());
        if (copy) {
            for (std::size_t i = 0; i < count; ++i)
                copied[i] = points[i].Y;
            write();
        }
    }
}

// Writes a companion file of the given series; returns the seconds the save
// took.
double WriteCompanionFile(const QString& fileName, int seriesCount, int pointCount, TDateTime start)
{
    TChart chart;
    chart.AddSeries(std::make_unique<TChartShape>());
    FillChart(chart, seriesCount, pointCount, start);
    const Clock::time_point begin = Clock::now();
    SaveChartDataFile(chart, start, start + VideoSeconds / SecondsPerDay, fileName);
    return SecondsSince(begin);
}

// Seconds to read and check the companion file and put its series on a
// chart, as opening a video does.
double LoadSeconds(const QString& fileName)
{
    TChart chart;
    chart.AddSeries(std::make_unique<TChartShape>());
    const Clock::time_point begin = Clock::now();
    TChartDataFileReader(fileName).AppendSeries(chart);
    return SecondsSince(begin);
}

void WaitForExposure(QWidget& window)
{
    const Clock::time_point begin = Clock::now();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) && SecondsSince(begin) < 5)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Sizes the window so that the chart gets ChartSize, then draws it once.
void FitChartSize(TfrmMain& window)
{
    for (int attempt = 0; attempt < 3 && window.ChartAll->size() != ChartSize; ++attempt) {
        window.resize(window.size() + ChartSize - window.ChartAll->size());
        QApplication::processEvents();
    }
    window.ChartAll->ReplotNow();
    QApplication::processEvents();
    if (window.ChartAll->size() != ChartSize) {
        std::fprintf(stderr, "warning: the chart is %d x %d, not %d x %d\n", window.ChartAll->width(),
                     window.ChartAll->height(), ChartSize.width(), ChartSize.height());
    }
}

// Average microseconds of one position report until the chart and the strip
// have painted it, with the cursor crossing the whole view.
double CursorUpdateMicroseconds(TfrmMain& window, FakeVideoPlayer& player)
{
    QCustomPlot* plot = window.ChartAll->Plot();
    const PaintCounter paints({plot, window.pbxData});
    int fullReplots = 0;
    const QMetaObject::Connection counting =
        QObject::connect(plot, &QCustomPlot::afterReplot, [&fullReplots] { ++fullReplots; });
    const TTimeAxis& axis = window.ChartAll->BottomAxis();
    const double viewMin = axis.Minimum();
    const double viewMax = axis.Maximum();

    int unpainted = 0;
    double total = 0;
    for (int i = -WarmUpReports; i < PositionReports; ++i) {
        const int step = i < 0 ? i + WarmUpReports : i;
        const float position = VideoSeconds * (static_cast<float>(step) + 0.5f) / PositionReports;
        const int plotPaints = paints.Paints(plot);
        const int stripPaints = paints.Paints(window.pbxData);

        const auto painted = [&] {
            return paints.Paints(plot) > plotPaints && paints.Paints(window.pbxData) > stripPaints;
        };

        const Clock::time_point begin = Clock::now();
        player.ReportPosition(position);
        // The chart draws its cursor layer in a queued call, which asks for a
        // paint; the posted paint requests then draw every widget marked
        // dirty. One pass of the posted events normally does both.
        for (int pass = 0; pass < 3 && !painted(); ++pass)
            QCoreApplication::sendPostedEvents();
        const double seconds = SecondsSince(begin);

        if (!painted())
            ++unpainted;
        if (i >= 0)
            total += seconds;
    }
    QObject::disconnect(counting);
    if (unpainted > 0)
        std::fprintf(stderr, "warning: %d position reports were not painted\n", unpainted);
    if (fullReplots > 0)
        std::fprintf(stderr, "warning: %d full chart replots while the cursor moved\n", fullReplots);
    if (axis.Minimum() != viewMin || axis.Maximum() != viewMax)
        std::fprintf(stderr, "warning: the view scrolled while the cursor moved\n");
    return total / PositionReports * 1e6;
}

// The median milliseconds of a full chart repaint, from the change of the
// time range to the painted chart, the view moved on by ViewShift of its
// width before each so that nothing worked out for one repaint serves the
// next. The middle one is not moved by another program taking the processor
// for a moment. The view is put back afterwards.
double ReplotMilliseconds(TChart& chart)
{
    TTimeAxis& axis = chart.BottomAxis();
    const double min = axis.Minimum();
    const double max = axis.Maximum();
    const double shift = (max - min) * ViewShift;
    chart.ReplotNow();
    std::vector<double> seconds;
    for (int i = 1; i <= Replots; ++i) {
        const Clock::time_point begin = Clock::now();
        axis.SetMinMax(min + i * shift, max + i * shift);
        chart.ReplotNow();
        seconds.push_back(SecondsSince(begin));
    }
    axis.SetMinMax(min, max);
    std::nth_element(seconds.begin(), seconds.begin() + Replots / 2, seconds.end());
    return seconds[Replots / 2] * 1e3;
}

void RunFigures(const QTemporaryDir& folder)
{
    const TDateTime start = DateTimeFromQDateTime(QDateTime(QDate(2024, 5, 1), QTime(7, 0)));

    auto ownedPlayer = std::make_unique<FakeVideoPlayer>();
    FakeVideoPlayer& player = *ownedPlayer;
    player.Duration = VideoSeconds;
    TfrmMain window(std::move(ownedPlayer));
    window.show();
    WaitForExposure(window);

    // One series of a thousand points.
    WriteCompanionFile(folder.filePath(QStringLiteral("small.bcd")), 1, SmallPointCount, start);
    window.OpenVideoFile(folder.filePath(QStringLiteral("small.mp4")));
    FitChartSize(window);
    std::printf("cursor_update_us_1k %.1f us\n", CursorUpdateMicroseconds(window, player));
    std::fflush(stdout);

    // Ten series of a million points.
    const QString largeFile = folder.filePath(QStringLiteral("large.bcd"));
    std::fprintf(stderr, "writing %d series of %d points\n", LargeSeriesCount, LargeSeriesPoints);
    const double saveSeconds = WriteCompanionFile(largeFile, LargeSeriesCount, LargeSeriesPoints, start);
    const double megabytes = static_cast<double>(QFileInfo(largeFile).size()) / 1e6;
    const double readSeconds = PlainReadSeconds(largeFile);
    const double loadSeconds = LoadSeconds(largeFile);

    // Opening the video loads its companion file into the window. What the
    // timed load left to the allocator goes back first, so that it does not
    // hide what this load adds.
    malloc_trim(0);
    const std::int64_t residentBefore = ResidentBytes();
    const Clock::time_point openBegin = Clock::now();
    window.OpenVideoFile(folder.filePath(QStringLiteral("large.mp4")));
    const double openSeconds = SecondsSince(openBegin);
    const std::int64_t residentAfter = ResidentBytes();
    const double loadedPoints = static_cast<double>(LargeSeriesCount) * LargeSeriesPoints;
    std::fprintf(stderr, "%.1f MB file; opening the video with it took %.0f ms; resident %.1f MB before, %.1f MB after\n",
                 megabytes, openSeconds * 1e3, static_cast<double>(residentBefore) / 1e6,
                 static_cast<double>(residentAfter) / 1e6);

    FitChartSize(window);
    std::printf("cursor_update_us_10m %.1f us\n", CursorUpdateMicroseconds(window, player));
    std::printf("replot_ms_10m %.2f ms\n", ReplotMilliseconds(*window.ChartAll));
    // The same series, each in a lane of its own.
    window.ChartAll->SetLaned(true);
    std::printf("replot_lanes_ms_10m %.2f ms\n", ReplotMilliseconds(*window.ChartAll));
    window.ChartAll->SetLaned(false);
    std::printf("bytes_per_point %.2f B\n", static_cast<double>(residentAfter - residentBefore) / loadedPoints);
    std::printf("bcd_save_mb_s %.1f MB/s\n", megabytes / saveSeconds);
    std::printf("bcd_load_mb_s %.1f MB/s\n", megabytes / loadSeconds);
    std::printf("file_read_mb_s %.1f MB/s\n", megabytes / readSeconds);
    std::fflush(stdout);
}

struct ScaleFigures {
    ScaleReplots Ours;
    // Nothing when pyqtgraph could not be run.
    std::optional<ScaleReplots> Peer;
};

// Median milliseconds of a full repaint of a chart of ten series with
// pointsPerSeries points each, at the whole time range and zoomed into its
// middle; then the same in pyqtgraph, on the same points, once the chart is
// gone.
ScaleFigures MeasureScaleReplots(int pointsPerSeries)
{
    const TDateTime start = DateTimeFromQDateTime(QDateTime(QDate(2024, 5, 1), QTime(7, 0)));
    const double width = VideoSeconds / SecondsPerDay;
    const double middle = start + width / 2;
    const ScaleViews views{start, start + width, middle - width * ZoomShare / 2, middle + width * ZoomShare / 2,
                           width * ViewShift};
    const QTemporaryDir folder;
    const QString pointsFile = folder.filePath(QStringLiteral("points"));
    ScaleFigures figures{};
    {
        TChart chart;
        chart.resize(ChartSize);
        chart.AddSeries(std::make_unique<TChartShape>());
        std::fprintf(stderr, "filling %d series of %d points\n", LargeSeriesCount, pointsPerSeries);
        std::FILE* copy = folder.isValid() ? std::fopen(QFile::encodeName(pointsFile).constData(), "wb") : nullptr;
        try {
            FillChart(chart, LargeSeriesCount, pointsPerSeries, start, copy);
        } catch (...) {
            if (copy)
                std::fclose(copy);
            throw;
        }
        if (!copy || std::fclose(copy) != 0)
            throw Exception(QStringLiteral("Cannot write the points for the peer"));
        chart.BottomAxis().SetMinMax(views.FullMin, views.FullMax);
        chart.show();
        WaitForExposure(chart);
        if (chart.size() != ChartSize)
            std::fprintf(stderr, "warning: the chart is %d x %d\n", chart.width(), chart.height());

        figures.Ours.FullView = ReplotMilliseconds(chart);
        chart.BottomAxis().SetMinMax(views.ZoomMin, views.ZoomMax);
        figures.Ours.Zoomed = ReplotMilliseconds(chart);
    }
    malloc_trim(0);
    // pyqtgraph's own default pen of one pixel, without antialiasing: the
    // fastest way it draws, while ours are two pixels wide and antialiased.
    // With lines as wide as ours it takes several times as long.
    std::fprintf(stderr, "pyqtgraph on the same points, lines of %d px\n", PeerPenWidth);
    figures.Peer = PeerScaleReplots(pointsFile, LargeSeriesCount, views, PeerPenWidth);
    return figures;
}

// The peer's figures and ours over them, named with the given suffix.
void PrintPeerFigures(const std::optional<ScaleReplots>& peer, const ScaleReplots& ours, const char* suffix)
{
    if (!peer)
        return;
    std::printf("peer_replot_ms_%s %.2f ms\n", suffix, peer->FullView);
    std::printf("peer_zoom_ms_%s_1pct %.2f ms\n", suffix, peer->Zoomed);
    std::printf("replot_vs_peer_%s %.2f x\n", suffix, ours.FullView / peer->FullView);
    std::printf("zoom_vs_peer_%s_1pct %.2f x\n", suffix, ours.Zoomed / peer->Zoomed);
}

} // namespace

ScaleReplots PrintSmallReplotScaleFigures()
{
    const ScaleFigures small = MeasureScaleReplots(ScaleSmallPoints);
    std::printf("replot_ms_1m %.2f ms\n", small.Ours.FullView);
    std::printf("zoom_ms_1m_1pct %.2f ms\n", small.Ours.Zoomed);
    PrintPeerFigures(small.Peer, small.Ours, "1m");
    std::fflush(stdout);
    return small.Ours;
}

void PrintReplotScaleFigures()
{
    const ScaleReplots small = PrintSmallReplotScaleFigures();
    malloc_trim(0);
    const ScaleFigures large = MeasureScaleReplots(ScaleLargePoints);
    std::printf("replot_ms_100m %.2f ms\n", large.Ours.FullView);
    std::printf("replot_ratio_100m_1m %.2f x\n", large.Ours.FullView / small.FullView);
    std::printf("zoom_ms_100m_1pct %.2f ms\n", large.Ours.Zoomed);
    PrintPeerFigures(large.Peer, large.Ours, "100m");
    std::fflush(stdout);
}

int RunChartBench(int argc, char** argv)
{
    return RunWindowBench(argc, argv, "chart", RunFigures);
}
