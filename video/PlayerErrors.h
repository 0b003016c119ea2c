#pragma once

#include <QString>

// The first line of the message for an mpv error code: the codec text where
// mpv found no format or no decoder it can play, otherwise "MF Player error: "
// and the code in upper-case hexadecimal (a negative code as its unsigned
// 32-bit value).
QString PlayerErrorText(int code);

// The full message of a failed mpv call: the line above, then mpv's own
// description of the code and, when given, the file or property it concerns.
QString PlayerErrorMessage(int code, const QString& subject = QString());

// The message of a file that could not be opened: as PlayerErrorMessage, but
// where mpv only says that loading failed because there is no such file, the
// second line says so.
QString PlayerOpenErrorMessage(int code, const QString& fileName);
