#include "bench/BenchClip.h"

#include "common/Exception.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Draws the band described in the header over the top of the picture.
QString FrameNumberBand()
{
    QString filters = QStringLiteral("drawbox=x=0:y=0:w=iw:h=%1:color=black:t=fill").arg(BenchClipBandHeight);
    for (int bit = 0; bit < BenchClipBandBits; ++bit)
        filters += QStringLiteral(",drawbox=x=%1:y=0:w=%2:h=%3:color=white:t=fill:enable='mod(floor(n/%4),2)'")
                       .arg(BenchClipBlockWidth * bit).arg(BenchClipBlockWidth).arg(BenchClipBandHeight).arg(1 << bit);
    return filters;
}

} // namespace

QString MakeBenchClip(const QTemporaryDir& folder, int seconds, const QString& source)
{
    const QString clip = folder.filePath(QStringLiteral("%1-1080p30-%2s.mp4").arg(source).arg(seconds));
    std::fprintf(stderr, "generating %s\n", qPrintable(clip));
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                  "-f", "lavfi", "-i", QStringLiteral("%1=size=%2x%3:rate=30:duration=%4").arg(source).arg(BenchClipWidth).arg(BenchClipHeight).arg(seconds),
                  "-f", "lavfi", "-i", QStringLiteral("sine=frequency=440:duration=%1").arg(seconds),
                  "-vf", FrameNumberBand(),
                  "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-g", "60",
                  "-c:a", "aac", "-shortest", clip});
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        throw Exception(QStringLiteral("ffmpeg could not make the clip"));
    return clip;
}

void RequireBenchPrograms(const char* command, std::initializer_list<const char*> programs)
{
    for (const char* program : programs) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            throw Exception(QStringLiteral("plotreel-bench %1 needs %2: scripts/install-deps.sh --with-bench")
                                .arg(QString::fromLatin1(command), QString::fromLatin1(program)));
    }
}
