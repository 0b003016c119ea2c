#include "tests/support/TestVideos.h"

#include <QColor>
#include <QFile>
#include <QProcess>
#include <QRectF>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <stdexcept>

namespace {

// The picture described in the header, as a filter graph, at a frame rate
// given as ffmpeg reads it.
QString PictureGraph(const QString& rate = QString::number(TestVideoFps), double seconds = TestVideoSeconds)
{
    QString graph = QStringLiteral("color=c=0x808080:s=%1x%2:r=%3:d=%4")
                        .arg(TestVideoWidth).arg(TestVideoHeight).arg(rate).arg(seconds);
    const char* bars[] = {"0xFF0000", "0x00FF00", "0x0000FF", "0xFFFFFF"};
    for (int i = 0; i < 4; ++i)
        graph += QStringLiteral(",drawbox=x=%1:y=120:w=80:h=120:color=%2:t=fill").arg(80 * i).arg(bars[i]);
    graph += QStringLiteral(",drawbox=x=0:y=0:w=320:h=60:color=black:t=fill");
    for (int bit = 0; bit < 8; ++bit)
        graph += QStringLiteral(",drawbox=x=%1:y=0:w=40:h=60:color=white:t=fill:enable='mod(floor(n/%2),2)'")
                     .arg(40 * bit).arg(1 << bit);
    return graph;
}

// The frames' times of the clip with a variable rate in 50ths of a second,
// as ffmpeg computes them.
constexpr const char* VariableRateTicks = "if(lt(N,50),N,if(lt(N,70),50+(N-50)*5,150+(N-70)*2))";

void RunFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{"-nostdin", "-hide_banner", "-loglevel", "error", "-y"} + arguments);
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit
        || ffmpeg.exitCode() != 0)
        throw std::runtime_error("ffmpeg failed: " + ffmpeg.readAll().toStdString());
}

TTestVideos MakeTestVideos(const QTemporaryDir& dir)
{
    TTestVideos videos;
    videos.WithoutSound = dir.filePath(QStringLiteral("pattern.mp4"));
    videos.WithSound = dir.filePath(QStringLiteral("pattern-sound.mp4"));
    videos.AudioOnly = dir.filePath(QStringLiteral("tone.m4a"));
    videos.TextAsMp4 = dir.filePath(QStringLiteral("text.mp4"));
    videos.Missing = dir.filePath(QStringLiteral("missing.mp4"));

    RunFfmpeg({"-f", "lavfi", "-i", PictureGraph(), "-c:v", "libx264", "-pix_fmt", "yuv420p",
               "-crf", "18", "-x264-params", "keyint=250:min-keyint=250:scenecut=0",
               videos.WithoutSound});
    RunFfmpeg({"-i", videos.WithoutSound, "-f", "lavfi", "-i",
               QStringLiteral("sine=frequency=440:duration=%1").arg(TestVideoSeconds),
               "-c:v", "copy", "-c:a", "aac", "-shortest", videos.WithSound});
    RunFfmpeg({"-i", videos.WithSound, "-map", "0:a", "-c:a", "copy", videos.AudioOnly});
    videos.KeyFramed = dir.filePath(QStringLiteral("key-framed.mp4"));
    RunFfmpeg({"-i", videos.WithSound, "-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "18", "-x264-params",
               QStringLiteral("keyint=%1:min-keyint=%1:scenecut=0").arg(TestVideoFps), "-c:a", "copy",
               videos.KeyFramed});

    // The tone runs on past the last frame, as sound tracks do; -shortest
    // ends it near where the last frame ends.
    const auto withTone = [](const QString& picture, double seconds, const QString& file) {
        RunFfmpeg({"-f", "lavfi", "-i", picture, "-f", "lavfi", "-i",
                   QStringLiteral("sine=frequency=440:duration=%1").arg(seconds), "-fps_mode", "vfr",
                   "-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "18", "-x264-params",
                   "keyint=250:min-keyint=250:scenecut=0", "-c:a", "aac", "-shortest", file});
    };
    videos.VariableRate = dir.filePath(QStringLiteral("variable-rate.mp4"));
    withTone(PictureGraph(QStringLiteral("50"), 4)
                 + QStringLiteral(",trim=end_frame=%1,setpts='%2'").arg(VariableRateFrames).arg(VariableRateTicks),
             4.2, videos.VariableRate);
    videos.Ntsc = dir.filePath(QStringLiteral("ntsc.mp4"));
    withTone(PictureGraph(QStringLiteral("30000/1001"), NtscFrames / 30.0), NtscFrames / 30.0, videos.Ntsc);

    QFile text(videos.TextAsMp4);
    if (!text.open(QIODevice::WriteOnly) || text.write("This is not a video.\n") < 0)
        throw std::runtime_error("cannot write " + videos.TextAsMp4.toStdString());
    return videos;
}

// Where the point (x, y) of the clip lands in an image the clip was fitted
// into.
QColor ClipPixel(const QImage& image, double x, double y)
{
    const double scale = qMin(double(image.width()) / TestVideoWidth,
                              double(image.height()) / TestVideoHeight);
    const double left = (image.width() - TestVideoWidth * scale) / 2;
    const double top = (image.height() - TestVideoHeight * scale) / 2;
    return image.pixelColor(int(left + x * scale), int(top + y * scale));
}

} // namespace

double VariableRateFrameTime(int frame)
{
    const int ticks = frame < 50 ? frame : frame < 70 ? 50 + (frame - 50) * 5 : 150 + (frame - 70) * 2;
    return ticks / 50.0;
}

double NtscFrameTime(int frame)
{
    return frame * 1001 / 30000.0;
}

const TTestVideos& TestVideos()
{
    static QTemporaryDir dir;
    static const TTestVideos videos = MakeTestVideos(dir);
    return videos;
}

QString VariableRateTestVideo()
{
    static QTemporaryDir dir;
    static const QString name = [] {
        const QString file = dir.filePath(QStringLiteral("variable-rate.mp4"));
        RunFfmpeg({"-i", TestVideos().WithSound, "-t", "4", "-vf", "select=lt(n\\,25)+not(mod(n\\,3))",
                   "-fps_mode", "vfr", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "18", "-c:a", "aac",
                   file});
        return file;
    }();
    return name;
}

QString NtscLongTestVideo()
{
    static QTemporaryDir dir;
    static const QString name = [] {
        const QString file = dir.filePath(QStringLiteral("ntsc-long.mp4"));
        RunFfmpeg({"-f", "lavfi", "-i",
                   PictureGraph(QStringLiteral("30000/1001"), NtscLongFrames / 29.0)
                       + QStringLiteral(",trim=end_frame=%1").arg(NtscLongFrames),
                   "-c:v", "libx264", "-pix_fmt", "yuv420p", "-crf", "18", "-x264-params",
                   "keyint=250:min-keyint=250:scenecut=0", file});
        return file;
    }();
    return name;
}

QImage GrabVideoPanel(QWidget* panel)
{
    // What the screen shows, not what the widgets would paint now: the video
    // is drawn outside Qt's painting.
    const QPoint origin = panel->mapToGlobal(QPoint(0, 0));
    return panel->screen()->grabWindow(0, origin.x(), origin.y(), panel->width(), panel->height()).toImage();
}

int TestVideoFrameNumber(const QImage& image)
{
    // The grey band tells a picture of the clip from a black one.
    if (image.isNull() || qAbs(ClipPixel(image, TestVideoWidth / 2, 90).lightness() - 128) > 30)
        return -1;
    int number = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const int lightness = ClipPixel(image, 40 * bit + 20, 30).lightness();
        if (lightness > 200)
            number |= 1 << bit;
        else if (lightness > 55)
            return -1;
    }
    return number;
}

bool ShowsTestVideoBars(const QImage& image)
{
    if (image.isNull())
        return false;
    const QColor expected[] = {Qt::red, Qt::green, Qt::blue, Qt::white};
    for (int i = 0; i < 4; ++i) {
        const QColor seen = ClipPixel(image, 80 * i + 40, 180);
        if (qAbs(seen.red() - expected[i].red()) > 60 || qAbs(seen.green() - expected[i].green()) > 60
            || qAbs(seen.blue() - expected[i].blue()) > 60)
            return false;
    }
    return true;
}
