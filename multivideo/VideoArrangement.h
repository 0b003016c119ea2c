#pragma once

#include <QList>
#include <QString>

// A video shown beside the main one, and how much later in its own time the
// picture that belongs with a moment of the main video lies.
struct TAddedVideo {
    QString FileName;
    double OffsetSeconds = 0;

    bool operator==(const TAddedVideo& other) const
    {
        return FileName == other.FileName && OffsetSeconds == other.OffsetSeconds;
    }
};

// At most this many videos beside the main one.
constexpr int MaxAddedVideos = 3;

// The file beside a video that keeps the videos added to it:
// "<folder>/<base name>.plotreel".
QString ArrangementFileName(const QString& mainVideo);

// The arrangement as the file holds it: JSON, each added video's path
// relative to the main video's folder where it can be, and its offset.
QByteArray ArrangementText(const QString& mainVideo, const QList<TAddedVideo>& videos);
// Reads that text back, with absolute paths. Throws an Exception naming
// `fileName` when the text is no arrangement.
QList<TAddedVideo> ParseArrangement(const QByteArray& text, const QString& mainVideo, const QString& fileName);

// Writes the arrangement of `mainVideo` atomically beside it; with no added
// videos, removes the file instead. Throws an Exception on failure.
void SaveArrangement(const QString& mainVideo, const QList<TAddedVideo>& videos);
// The arrangement kept beside `mainVideo`; empty when there is no file.
// Throws an Exception when the file cannot be read or is no arrangement.
QList<TAddedVideo> LoadArrangement(const QString& mainVideo);
