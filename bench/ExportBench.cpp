#include "bench/ExportBench.h"

#include "bench/BenchClock.h"
#include "bench/OffscreenChart.h"
#include "chart/ChartPoint.h"
#include "chartdata/ChartData.h"
#include "common/Exception.h"
#include "common/TimeMapping.h"
#include "export/ClipExport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int ClipSeconds = 60;
constexpr int ClipFps = 30;
constexpr int SeriesCount = 10;
constexpr int SeriesPoints = 1000000;

bool RunFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y"} + arguments);
    return ffmpeg.waitForFinished(-1) && ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

} // namespace

int RunExportBench(int, char** argv)
{
    TOffscreenChart offscreen(argv[0]);
    TChart& chart = offscreen.Chart;
    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("source.mp4"));
    if (!RunFfmpeg({"-f", "lavfi", "-i", QStringLiteral("testsrc2=s=1920x1080:r=%1:d=%2").arg(ClipFps).arg(ClipSeconds),
                    "-f", "lavfi", "-i", QStringLiteral("sine=frequency=440:duration=%1").arg(ClipSeconds), "-c:v",
                    "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-c:a", "aac", clip})) {
        std::fprintf(stderr, "plotreel-bench export: ffmpeg could not make the clip\n");
        return 1;
    }

    const TDateTime start = 7.0 / 24;
    const TDateTime end = VideoToChartTime(start, ClipSeconds);
    std::mt19937 random(7);
    std::normal_distribution<double> step(0, 1);
    std::vector<TChartPoint> points(SeriesPoints);
    for (int s = 0; s < SeriesCount; ++s) {
        double value = 0;
        for (int i = 0; i < SeriesPoints; ++i) {
            value += step(random);
            points[static_cast<std::size_t>(i)] = {start + (end - start) * i / SeriesPoints, value};
        }
        AddChartSeries(chart, QByteArray("series ") + QByteArray::number(s + 1))
            ->AddPoints(points.data(), points.size());
    }
    chart.resize(1920, 400);
    chart.BottomAxis().SetMinMax(start, end);

    TClipOptions options;
    options.From = 0;
    options.To = ClipSeconds;
    const auto exportStart = Clock::now();
    try {
        ExportClip(clip, {chart, start, {start, end}, end}, options, QLocale(), folder.filePath("export.mp4"));
    } catch (const Exception& error) {
        std::fprintf(stderr, "plotreel-bench export: %s\n", error.what());
        return 1;
    }
    const double exportSeconds = SecondsSince(exportStart);
    const QString frames = [&] {
        QProcess probe;
        probe.start(QStringLiteral("ffprobe"), {"-v", "error", "-count_frames", "-select_streams", "v",
                                                 "-show_entries", "stream=nb_read_frames,width,height", "-of", "csv=p=0",
                                                 folder.filePath("export.mp4")});
        probe.waitForFinished(-1);
        return QString::fromLatin1(probe.readAllStandardOutput()).trimmed();
    }();
    std::fprintf(stderr, "plotreel-bench export: the clip is %s (width, height, frames)\n", qPrintable(frames));

    const auto ffmpegStart = Clock::now();
    if (!RunFfmpeg({"-i", clip, "-c:v", "libx264", "-preset", "veryfast", "-crf", "20", "-c:a", "aac",
                    folder.filePath("ffmpeg.mp4")})) {
        std::fprintf(stderr, "plotreel-bench export: ffmpeg could not transcode the clip\n");
        return 1;
    }
    const double ffmpegSeconds = SecondsSince(ffmpegStart);

    std::printf("export_fps %.1f frames/s\n", ClipSeconds * ClipFps / exportSeconds);
    std::printf("export_seconds %.2f s\n", exportSeconds);
    std::printf("export_ffmpeg_seconds %.2f s\n", ffmpegSeconds);
    std::printf("export_vs_ffmpeg %.2f ratio\n", exportSeconds / ffmpegSeconds);
    return 0;
}
