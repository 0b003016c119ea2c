#include "multivideo/VideoArrangement.h"

#include "common/AtomicFile.h"
#include "common/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

const QString VideosKey = QStringLiteral("videos");
const QString PathKey = QStringLiteral("path");
const QString OffsetKey = QStringLiteral("offset");

// A file is read whole; an arrangement is a few hundred bytes.
constexpr qint64 MaxArrangementBytes = 1 << 20;

[[noreturn]] void Refuse(const QString& fileName, const QString& reason)
{
    throw Exception(QStringLiteral("The video arrangement \"%1\" cannot be read: %2").arg(fileName, reason));
}

} // namespace

QString ArrangementFileName(const QString& mainVideo)
{
    const QFileInfo info(mainVideo);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".plotreel"));
}

QByteArray ArrangementText(const QString& mainVideo, const QList<TAddedVideo>& videos)
{
    const QDir folder = QFileInfo(mainVideo).absoluteDir();
    QJsonArray list;
    for (const TAddedVideo& video : videos) {
        const QString absolute = QFileInfo(video.FileName).absoluteFilePath();
        QString path = folder.relativeFilePath(absolute);
        // A path that cannot be reached from the folder (another drive) stays absolute.
        if (QDir::isAbsolutePath(path))
            path = absolute;
        list.append(QJsonObject{{PathKey, path}, {OffsetKey, video.OffsetSeconds}});
    }
    return QJsonDocument(QJsonObject{{VideosKey, list}}).toJson();
}

QList<TAddedVideo> ParseArrangement(const QByteArray& text, const QString& mainVideo, const QString& fileName)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        Refuse(fileName, error.errorString());
    const QJsonValue list = document.object().value(VideosKey);
    if (!document.isObject() || !list.isArray())
        Refuse(fileName, QStringLiteral("it lists no videos."));
    const QDir folder = QFileInfo(mainVideo).absoluteDir();
    QList<TAddedVideo> videos;
    for (const QJsonValue& entry : list.toArray()) {
        const QJsonValue path = entry.toObject().value(PathKey);
        const QJsonValue offset = entry.toObject().value(OffsetKey);
        if (!path.isString() || path.toString().isEmpty() || !offset.isDouble() || !std::isfinite(offset.toDouble()))
            Refuse(fileName, QStringLiteral("a video has no path or no offset."));
        if (videos.size() == MaxAddedVideos)
            Refuse(fileName, QStringLiteral("it lists more than %1 videos.").arg(MaxAddedVideos));
        videos.append({QDir::cleanPath(folder.absoluteFilePath(path.toString())), offset.toDouble()});
    }
    return videos;
}

void SaveArrangement(const QString& mainVideo, const QList<TAddedVideo>& videos)
{
    const QString fileName = ArrangementFileName(mainVideo);
    if (videos.isEmpty()) {
        if (QFileInfo::exists(fileName) && !QFile::remove(fileName))
            throw Exception(QStringLiteral("Cannot remove file \"%1\".").arg(fileName));
        return;
    }
    TAtomicFile file(fileName);
    file.Write(ArrangementText(mainVideo, videos));
    file.Commit();
}

QList<TAddedVideo> LoadArrangement(const QString& mainVideo)
{
    const QString fileName = ArrangementFileName(mainVideo);
    QFile file(fileName);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        Refuse(fileName, file.errorString());
    if (file.size() > MaxArrangementBytes)
        Refuse(fileName, QStringLiteral("it is too large."));
    return ParseArrangement(file.readAll(), mainVideo, fileName);
}
