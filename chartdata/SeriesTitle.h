#pragma once

#include <QByteArray>
#include <QString>

// Series titles are kept as the 8-bit bytes they were read with, so that a
// title that is saved again comes back byte for byte. These two functions
// turn such bytes into text for the screen and typed text into bytes.

// A stored title holds at most this many bytes; a longer one is clipped.
constexpr qsizetype SeriesTitleFieldSize = 100;

// UTF-8 where the bytes are valid UTF-8, Latin-1 otherwise. When a title
// fills its whole field, a multi-byte character cut off at its end is left
// out rather than turning the whole title into Latin-1.
QString TitleToDisplay(const QByteArray& title);

// A title typed by the user is stored as UTF-8.
QByteArray TitleFromDisplay(const QString& title);
