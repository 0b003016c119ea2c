#pragma once

#include <cstdint>

// The resident set size of this process in bytes, from /proc/self/statm;
// 0 when it cannot be read.
std::int64_t ResidentBytes();

// The largest resident set size this process has had, in bytes, from
// /proc/self/status; 0 when it cannot be read.
std::int64_t PeakResidentBytes();
