#include "multivideo/VideoArrangement.h"

#include "common/AtomicFile.h"
#include "common/DamagedFile.h"
#include "common/Exception.h"
#include "common/FileIdentity.h"
#include "common/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace {

const QString VideosKey = QStringLiteral("videos");
const QString FormulasKey = QStringLiteral("formulas");
const QString PathKey = QStringLiteral("path");
const QString OffsetKey = QStringLiteral("offset");
const QString Extension = QStringLiteral(".plotreel");

// A file is read whole; an arrangement is a few kilobytes.
constexpr qint64 MaxArrangementBytes = 1 << 20;

[[noreturn]] void Refuse(const QString& fileName, const QString& reason)
{
    throw Exception(QStringLiteral("The video arrangement \"%1\" cannot be read: %2").arg(fileName, reason));
}

QJsonArray VideosSection(const QList<TAddedVideo>& videos, const QDir& folder)
{
    QJsonArray list;
    for (const TAddedVideo& video : videos) {
        const QString absolute = QFileInfo(video.FileName).absoluteFilePath();
        QString path = folder.relativeFilePath(absolute);
        // A path that cannot be reached from the folder (another drive) stays absolute.
        if (QDir::isAbsolutePath(path))
            path = absolute;
        QJsonObject entry = video.OtherKeys;
        entry.insert(PathKey, path);
        entry.insert(OffsetKey, video.OffsetSeconds);
        list.append(entry);
    }
    return list;
}

QList<TAddedVideo> ReadVideosSection(const QJsonValue& section, const QDir& folder, const QString& fileName)
{
    if (section.isUndefined())
        return {};
    if (!section.isArray())
        Refuse(fileName, QStringLiteral("its list of videos is no list."));
    const QJsonArray list = section.toArray();
    if (list.size() > MaxArrangementEntries)
        Refuse(fileName, QStringLiteral("it lists more than %1 videos.").arg(MaxArrangementEntries));
    QList<TAddedVideo> videos;
    for (const QJsonValue& value : list) {
        QJsonObject entry = value.toObject();
        const QJsonValue path = entry.take(PathKey);
        const QJsonValue offset = entry.take(OffsetKey);
        if (!path.isString() || path.toString().isEmpty() || !offset.isDouble() || !std::isfinite(offset.toDouble()))
            Refuse(fileName, QStringLiteral("a video has no path or no offset."));
        videos.append({QDir::cleanPath(folder.absoluteFilePath(path.toString())), offset.toDouble(), entry});
    }
    return videos;
}

// A file at the arrangement's name that is the video all the same (a link).
void RefuseTheVideo(const QString& fileName, const QString& mainVideo)
{
    if (SameFile(fileName, mainVideo))
        throw Exception(QStringLiteral("The video arrangement \"%1\" is the video \"%2\" itself; it is neither read "
                                       "nor written.").arg(fileName, mainVideo));
}

} // namespace

QString ArrangementFileName(const QString& mainVideo)
{
    const QFileInfo info(mainVideo);
    if (info.fileName().endsWith(Extension))
        return mainVideo + Extension;
    return info.dir().filePath(info.completeBaseName() + Extension);
}

QByteArray ArrangementText(const QString& mainVideo, const TArrangement& arrangement)
{
    QJsonObject file = arrangement.OtherSections;
    file.insert(VideosKey, VideosSection(arrangement.Videos, QFileInfo(mainVideo).absoluteDir()));
    if (!arrangement.Formulas.isEmpty())
        file.insert(FormulasKey, arrangement.Formulas);
    return QJsonDocument(file).toJson();
}

TArrangement ParseArrangement(const QByteArray& text, const QString& mainVideo, const QString& fileName)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        Refuse(fileName, error.errorString());
    if (!document.isObject())
        Refuse(fileName, QStringLiteral("it holds no sections."));
    QJsonObject file = document.object();
    TArrangement arrangement;
    arrangement.Videos = ReadVideosSection(file.take(VideosKey), QFileInfo(mainVideo).absoluteDir(), fileName);
    const QJsonValue formulas = file.take(FormulasKey);
    if (!formulas.isUndefined() && !formulas.isArray())
        Refuse(fileName, QStringLiteral("its formulas are no list."));
    arrangement.Formulas = formulas.toArray();
    arrangement.OtherSections = file;
    return arrangement;
}

QString SaveArrangement(const QString& mainVideo, const TArrangement& arrangement, bool setAside)
{
    const QString fileName = ArrangementFileName(mainVideo);
    RefuseTheVideo(fileName, mainVideo);
    const bool exists = QFileInfo::exists(fileName) || QFileInfo(fileName).isSymLink();
    const QString kept = setAside && exists ? KeepDamagedFile(fileName) : QString();
    if (arrangement.IsEmpty()) {
        if (kept.isEmpty() && exists && !QFile::remove(fileName))
            throw Exception(QStringLiteral("Cannot remove file \"%1\".").arg(fileName));
        return kept;
    }
    TAtomicFile file(fileName);
    file.Write(ArrangementText(mainVideo, arrangement));
    file.Commit();
    return kept;
}

TArrangement LoadArrangement(const QString& mainVideo)
{
    const QString fileName = ArrangementFileName(mainVideo);
    if (!QFileInfo::exists(fileName))
        return {};
    RefuseTheVideo(fileName, mainVideo);
    QFile file;
    OpenRegularFile(file, fileName);
    const QByteArray text = file.read(MaxArrangementBytes + 1);
    if (file.error() != QFileDevice::NoError)
        Refuse(fileName, file.errorString());
    if (text.size() > MaxArrangementBytes)
        Refuse(fileName, QStringLiteral("it is too large."));
    return ParseArrangement(text, mainVideo, fileName);
}
