#include "marks/MarksFile.h"

#include "common/AtomicFile.h"
#include "common/Exception.h"
#include "marks/MarksJson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Ten million marks stay well within this.
constexpr qint64 MaxFileBytes = 1LL << 30;

[[noreturn]] void Refuse(const QString& fileName, const QString& reason)
{
    throw Exception(QStringLiteral("The marks in \"%1\" cannot be read: %2").arg(fileName, reason));
}

// The file's JSON object; empty when there is no file.
QJsonObject ReadObject(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        Refuse(fileName, file.errorString());
    if (file.size() > MaxFileBytes)
        Refuse(fileName, QStringLiteral("the file is too large."));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        Refuse(fileName, error.errorString() + QLatin1Char('.'));
    if (!document.isObject())
        Refuse(fileName, QStringLiteral("it holds no settings."));
    return document.object();
}

} // namespace

std::vector<TMark> LoadMarksSection(const QString& arrangementFile)
{
    const QJsonObject object = ReadObject(arrangementFile);
    if (!object.contains(MarksKey))
        return {};
    try {
        return MarksFromJson(object.value(MarksKey));
    } catch (const Exception& error) {
        Refuse(arrangementFile, error.Message());
    }
}

void SaveMarksSection(const QString& arrangementFile, const std::vector<TMark>& marks)
{
    QJsonObject object = ReadObject(arrangementFile);
    if (marks.empty()) {
        if (!object.contains(MarksKey))
            return;
        object.remove(MarksKey);
    } else {
        object.insert(MarksKey, MarksJson(marks));
        // The arrangement's reader wants its list of videos, if empty.
        if (!object.contains(QStringLiteral("videos")))
            object.insert(QStringLiteral("videos"), QJsonArray());
    }
    // An arrangement with no videos and no marks is no file at all.
    const QJsonValue videos = object.value(QStringLiteral("videos"));
    if (object.size() == (videos.isUndefined() ? 0 : 1) && videos.toArray().isEmpty()) {
        if (QFile::exists(arrangementFile) && !QFile::remove(arrangementFile))
            throw Exception(QStringLiteral("Cannot remove file \"%1\".").arg(arrangementFile));
        return;
    }
    TAtomicFile file(arrangementFile);
    file.Write(QJsonDocument(object).toJson());
    file.Commit();
}
