#pragma once

#include <QString>

#include <vector>

// A whole chart data file of series of these many points, written sparse so
// that the disk holds none of the points (they read as zeros).
void WriteSparseChartDataFile(const QString& fileName, const std::vector<qint64>& pointCounts);

// A whole chart data file of one series with the most points a series may
// have (2^31 - 1, 34 GB of points), written sparse so that the disk holds
// none of them.
void WriteHugeChartDataFile(const QString& fileName);
constexpr qint64 HugeChartDataPoints = 2147483647;

// Whether this process has less memory left than the points of such a file
// need, so that reading it is refused before any room is asked for. Where it
// has that much, reading the file would only take long.
bool MemoryRefusesHugeChartData();
