#pragma once

class QString;
class QTemporaryDir;

// Makes a 1080p30 H.264 clip with sound of this many seconds in the folder,
// with a key frame every two seconds as cameras write them, and returns its
// path. Raises an Exception when ffmpeg fails.
QString MakeBenchClip(const QTemporaryDir& folder, int seconds);
