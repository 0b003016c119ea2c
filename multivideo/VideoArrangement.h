#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

// A video shown beside the main one, and how much later in its own time the
// picture that belongs with a moment of the main video lies.
struct TAddedVideo {
    TAddedVideo() = default;
    TAddedVideo(QString fileName, double offsetSeconds, QJsonObject otherKeys = {})
        : FileName(std::move(fileName)), OffsetSeconds(offsetSeconds), OtherKeys(std::move(otherKeys))
    {
    }

    QString FileName;
    double OffsetSeconds = 0;
    // The keys of the video's entry in the file that this program does not
    // read (written by a newer one), written back as they were read.
    QJsonObject OtherKeys;

    bool operator==(const TAddedVideo& other) const
    {
        return FileName == other.FileName && OffsetSeconds == other.OffsetSeconds && OtherKeys == other.OtherKeys;
    }
};

// At most this many videos beside the main one.
constexpr int MaxAddedVideos = 3;
// At most this many videos listed in a file: those shown, and those kept
// while they cannot be opened.
constexpr int MaxArrangementEntries = 32;

// What the file beside a video keeps for it: a JSON object of sections, one
// for each kind of thing kept. A section of its own is added as a member
// here, read in ParseArrangement (taking its key out of the object) and
// written in ArrangementText; sections this program does not know pass
// through untouched.
struct TArrangement {
    // "videos": the added videos in the order of the file.
    QList<TAddedVideo> Videos;
    // "formulas": what the series made by formulas were made from, beside
    // the chart data file's series (derived/ChartFormulas).
    QJsonArray Formulas;
    // The top-level keys this program does not read, written back as read.
    QJsonObject OtherSections;

    bool IsEmpty() const { return Videos.isEmpty() && Formulas.isEmpty() && OtherSections.isEmpty(); }
    bool operator==(const TArrangement& other) const
    {
        return Videos == other.Videos && Formulas == other.Formulas && OtherSections == other.OtherSections;
    }
};

// The file beside a video that keeps its arrangement: "<folder>/<base
// name>.plotreel", or "<video>.plotreel" for a video whose own name ends in
// ".plotreel", so that it never names the video.
QString ArrangementFileName(const QString& mainVideo);

// The arrangement as the file holds it: JSON, each added video's path
// relative to the main video's folder where it can be, and its offset.
QByteArray ArrangementText(const QString& mainVideo, const TArrangement& arrangement);
// Reads that text back, with absolute paths. Throws an Exception naming
// `fileName` when the text is no arrangement.
TArrangement ParseArrangement(const QByteArray& text, const QString& mainVideo, const QString& fileName);

// Writes the arrangement of `mainVideo` atomically beside it; an empty one
// removes the file instead. With `setAside`, the file there (one that could
// not be read) is first renamed by KeepDamagedFile, and its new name is
// returned; otherwise the result is empty. Never writes over, removes or
// renames the video itself. Throws an Exception on failure.
QString SaveArrangement(const QString& mainVideo, const TArrangement& arrangement, bool setAside = false);
// The arrangement kept beside `mainVideo`; empty when there is no file.
// Throws an Exception when the file cannot be read or is no arrangement.
TArrangement LoadArrangement(const QString& mainVideo);
