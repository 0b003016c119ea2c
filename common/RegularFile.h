#pragma once

#include <QFile>
#include <QString>

// Opens `file` (named `fileName`) unbuffered for reading, refusing anything
// that is not a regular file: a named pipe would block the window until some
// other program writes into it, and a folder or a device has no content to
// read. Throws "Cannot open file ..." with the reason.
void OpenRegularFile(QFile& file, const QString& fileName);
