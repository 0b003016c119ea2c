// Makes the pictures of the exports shown in the README with the exports
// themselves: a picture export, a frame of a clip export, and the first lines
// of a data export (printed). A generated clip with sound and three series of
// test data stored in its companion file, as a user's would be.
#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataFile.h"
#include "chartdata/ChartDataIO.h"
#include "common/TimeMapping.h"
#include "export/CommandLineExport.h"
#include "export/DataExport.h"
#include "export/VideoFrames.h"
#include "import/TestData.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int ClipSeconds = 20;

bool MakeClip(const QString& clip)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-loglevel", "error", "-y", "-f", "lavfi", "-i",
                  QStringLiteral("testsrc2=size=640x360:rate=25:duration=%1").arg(ClipSeconds), "-f", "lavfi", "-i",
                  QStringLiteral("sine=frequency=440:duration=%1").arg(ClipSeconds), "-c:v", "libx264", "-pix_fmt",
                  "yuv420p", "-c:a", "aac", clip});
    return ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0;
}

void SaveCompanion(const QString& clip)
{
    TChart chart;
    chart.AddSeries(std::make_unique<TChartShape>());
    const TDateTime start = EncodeDate(QDate(2024, 5, 14)) + EncodeTime(QTime(7, 0));
    const TLoadWindow window{start, VideoToChartTime(start, ClipSeconds)};
    TRandom random(5);
    for (const char* title : {"speed", "temperature", "pressure"}) {
        const std::vector<TChartPoint> points =
            std::string(title) == "temperature" ? SineTestData(window, random) : RandomWalkTestData(window, random);
        AddChartSeries(chart, title)->AddPoints(points.data(), points.size());
    }
    SaveChartDataFile(chart, window.Start, window.End, ChartDataFileName(clip));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: readme_export_pictures PICTURE.png CLIPFRAME.png\n");
        return 2;
    }
    QTemporaryDir folder;
    const QString clip = folder.filePath(QStringLiteral("run.mp4"));
    if (!MakeClip(clip)) {
        std::fprintf(stderr, "readme_export_pictures: ffmpeg could not make the clip\n");
        return 1;
    }
    SaveCompanion(clip);
    const QString picture = QString::fromLocal8Bit(argv[1]);
    const QString exported = folder.filePath(QStringLiteral("span.mp4"));
    for (const QStringList& arguments :
         {QStringList{"plotreel", "--export-picture", picture, "--at", "00:00:08.000", clip},
          QStringList{"plotreel", "--export-clip", exported, "--from", "00:00:06", "--to", "00:00:10", clip}}) {
        if (RunWindowlessCommand(arguments) != 0)
            return 1;
    }
    // The clip's frame at 2 s, 8 s into the video.
    if (!VideoFrameAt(exported, 2.0).save(QString::fromLocal8Bit(argv[2])))
        return 1;
    // The data of the view's first seconds.
    TChart chart;
    chart.AddSeries(std::make_unique<TChartShape>());
    TChartDataFileReader(ChartDataFileName(clip)).AppendSeries(chart);
    const QString data = folder.filePath(QStringLiteral("view.csv"));
    const TDateTime start = EncodeDate(QDate(2024, 5, 14)) + EncodeTime(QTime(7, 0));
    ExportChartData(chart, start, VideoToChartTime(start, 1), QLocale(QStringLiteral("en_US")), data);
    QFile text(data);
    text.open(QIODevice::ReadOnly);
    std::fputs(text.readAll().left(400).constData(), stdout);
    return 0;
}
