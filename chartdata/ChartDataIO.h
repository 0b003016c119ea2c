#pragma once

#include "common/LoadProgress.h"

#include <QByteArray>
#include <QString>

// The companion chart data file of a video: its path with the extension of
// the file name (from the last dot on) replaced by ".bcd", or ".bcd" appended
// when the name has none. A leading dot marks a hidden file, not an extension.
QString ChartDataFileName(const QString& videoFileName);

// The whole content of a file, read a block at a time; `progress` (when
// given) hears of each block, and a cancel there throws LoadCancelled. Throws
// "Cannot open file ..." with the system's error text.
QByteArray ReadChartDataFile(const QString& fileName, TLoadProgress* progress = nullptr);

// Writes `bytes` to a temporary file beside `fileName` and puts it in place of
// the old file only once it is complete, so a failed save leaves the previous
// file as it was. Throws "Cannot create file ..." with the system's error text.
void WriteChartDataFile(const QString& fileName, const QByteArray& bytes);
