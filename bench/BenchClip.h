#pragma once

class QTemporaryDir;

#include <QString>

#include <initializer_list>

// Makes a 1080p30 H.264 clip with sound of this many seconds of one of
// ffmpeg's test pictures in the folder, with a key frame every two seconds as
// cameras write them, and returns its path. Raises an Exception when ffmpeg
// fails.
//
// A band over the top of the picture shows the frame number in binary: ten
// blocks side by side from the left, the block k white for bit k (value 2^k)
// set and black otherwise.
constexpr int BenchClipWidth = 1920;
constexpr int BenchClipHeight = 1080;
constexpr int BenchClipBandBits = 10;
constexpr int BenchClipBlockWidth = BenchClipWidth / BenchClipBandBits;
constexpr int BenchClipBandHeight = 120;

QString MakeBenchClip(const QTemporaryDir& folder, int seconds, const QString& source = QStringLiteral("testsrc2"));

// Raises an Exception naming the first of programs not on the PATH, and how
// to install it, for the sub-command.
void RequireBenchPrograms(const char* command, std::initializer_list<const char*> programs);
