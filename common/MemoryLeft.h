#pragma once

#include <QString>

#include <optional>
#include <vector>

// How much more memory the process may take, by each measure that bounds it
// (in bytes; none where a measure has no bound or cannot be read).
struct TMemoryFigures {
    // MemAvailable and SwapFree of the system.
    std::optional<qint64> System;
    // The address-space limit (RLIMIT_AS) less what is mapped now (VmSize).
    std::optional<qint64> AddressSpace;
    // The data limit (RLIMIT_DATA) less the data mapped now (VmData).
    std::optional<qint64> Data;
    // For each memory cgroup holding the process, its own and those above
    // it, that has a limit: the limit less what it uses.
    std::vector<qint64> Cgroups;
};

// The least of the figures: what the process may still take. A reservation
// larger than this may well be granted (the kernel overcommits), but the
// pages cannot all be had once they are written, and the kernel then kills
// a process instead of failing an allocation.
qint64 MemoryLeft(const TMemoryFigures& figures);

// Reads the figures of this process from the kernel: "<proc>/meminfo",
// "<proc>/self/status", "<proc>/self/cgroup" and the memory cgroups under
// `cgroupRoot` (cgroup v2: memory.max and memory.current, also where it is
// mounted at "unified"; cgroup v1: memory.limit_in_bytes and
// memory.usage_in_bytes under "memory"), and the process's limits.
TMemoryFigures ReadMemoryFigures(const QString& proc = QStringLiteral("/proc"),
                                 const QString& cgroupRoot = QStringLiteral("/sys/fs/cgroup"));
