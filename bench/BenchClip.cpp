#include "bench/BenchClip.h"

#include "common/Exception.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

QString MakeBenchClip(const QTemporaryDir& folder, int seconds, const QString& source)
{
    const QString clip = folder.filePath(QStringLiteral("%1-1080p30-%2s.mp4").arg(source).arg(seconds));
    std::fprintf(stderr, "generating %s\n", qPrintable(clip));
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                  "-f", "lavfi", "-i", QStringLiteral("%1=size=1920x1080:rate=30:duration=%2").arg(source).arg(seconds),
                  "-f", "lavfi", "-i", QStringLiteral("sine=frequency=440:duration=%1").arg(seconds),
                  "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-g", "60",
                  "-c:a", "aac", "-shortest", clip});
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        throw Exception(QStringLiteral("ffmpeg could not make the clip"));
    return clip;
}
