#pragma once

#include <QString>

// A whole chart data file of one series with the most points a series may
// have (2^31 - 1, 34 GB of points), written sparse so that the disk holds
// none of them.
void WriteHugeChartDataFile(const QString& fileName);
constexpr qint64 HugeChartDataPoints = 2147483647;

// Whether this machine refuses to hand out the memory for the points of such
// a file in one piece: the kernel checks allocations against its memory and
// swap (its default heuristic or strict accounting) and they hold clearly
// less. Where it could, reading the file would only take long.
bool MemoryRefusesHugeChartData();

// The sanitizer stops the program on an allocation this large instead of
// failing it.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLOTREEL_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PLOTREEL_ADDRESS_SANITIZER 1
#endif
