#include "marks/MarksJson.h"

#include "common/Exception.h"

#include <QJsonObject>

#include <cmath>

const QString MarksKey = QStringLiteral("marks");

namespace {

const QString SecondsKey = QStringLiteral("seconds");
const QString LengthKey = QStringLiteral("length");
const QString CategoryKey = QStringLiteral("category");
const QString NoteKey = QStringLiteral("note");

} // namespace

QJsonArray MarksJson(const std::vector<TMark>& marks)
{
    QJsonArray list;
    for (const TMark& mark : marks) {
        QJsonObject entry{{SecondsKey, mark.Seconds}, {CategoryKey, mark.Category + 1}, {NoteKey, mark.Note}};
        if (mark.IsSpan())
            entry.insert(LengthKey, mark.Length);
        list.append(entry);
    }
    return list;
}

std::vector<TMark> MarksFromJson(const QJsonValue& value)
{
    if (!value.isArray())
        throw Exception(QStringLiteral("its marks are no list."));
    std::vector<TMark> marks;
    int number = 0;
    for (const QJsonValue& entry : value.toArray()) {
        ++number;
        const QJsonObject object = entry.toObject();
        const QJsonValue seconds = object.value(SecondsKey);
        const QJsonValue length = object.value(LengthKey);
        const QJsonValue category = object.value(CategoryKey);
        const QJsonValue note = object.value(NoteKey);
        TMark mark;
        mark.Seconds = seconds.toDouble(-1);
        mark.Length = length.isUndefined() ? 0 : length.toDouble(-1);
        const int categoryNumber = category.isUndefined() ? 1 : category.toInt(0);
        if (!entry.isObject() || !seconds.isDouble() || !std::isfinite(mark.Seconds) || mark.Seconds < 0
            || !std::isfinite(mark.Length) || mark.Length < 0 || categoryNumber < 1 || categoryNumber > MarkCategoryCount
            || !(note.isUndefined() || note.isString()))
            throw Exception(QStringLiteral("mark %1 has no time, a wrong length or no category from 1 to %2.")
                                .arg(number)
                                .arg(MarkCategoryCount));
        mark.Category = categoryNumber - 1;
        mark.Note = note.toString();
        marks.push_back(std::move(mark));
    }
    return marks;
}
