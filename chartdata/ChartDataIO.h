#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// The companion chart data file of a video: its path with the extension of
// the file name (from the last dot on) replaced by ".bcd", or ".bcd" appended
// when the name has none. A leading dot marks a hidden file, not an extension.
QString ChartDataFileName(const QString& videoFileName);

// Reads up to `size` bytes at `offset` of the open `file` (named `fileName`)
// into `out` and returns how many it read: fewer only where the file ends.
// Throws "Cannot read file ..." with the system's error text.
qint64 ReadFileAt(QFile& file, const QString& fileName, qint64 offset, char* out, qint64 size);

// Writes `bytes` to a temporary file beside `fileName` and puts it in place of
// the old file only once it is complete, so a failed save leaves the previous
// file as it was. Throws "Cannot create file ..." with the system's error text.
void WriteChartDataFile(const QString& fileName, const QByteArray& bytes);

