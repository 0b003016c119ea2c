#pragma once

#include "marks/Mark.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <vector>

// The marks as a video's arrangement file keeps them, under this key: an
// array of {"seconds", "length", "category" (1 to 9), "note"}, seconds from
// the video's start with all their digits.
extern const QString MarksKey;
QJsonArray MarksJson(const std::vector<TMark>& marks);
// Reads that array back; throws an Exception with the reason (not naming a
// file) when an entry is no mark.
std::vector<TMark> MarksFromJson(const QJsonValue& value);
