#pragma once

#include <cstdint>

// The resident set size of this process in bytes, from /proc/self/statm;
// 0 when it cannot be read.
std::int64_t ResidentBytes();

// The peak resident set size of this process in bytes, from VmHWM in
// /proc/self/status; 0 when it cannot be read.
std::int64_t PeakResidentBytes();

// Starts the peak resident size over from the present one.
void ResetPeakResidentBytes();
