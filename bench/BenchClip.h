#pragma once

class QTemporaryDir;

#include <QString>

// Makes a 1080p30 H.264 clip with sound of this many seconds of one of
// ffmpeg's test pictures in the folder, with a key frame every two seconds as
// cameras write them, and returns its path. Raises an Exception when ffmpeg
// fails.
QString MakeBenchClip(const QTemporaryDir& folder, int seconds, const QString& source = QStringLiteral("testsrc2"));
