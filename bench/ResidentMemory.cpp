#include "bench/ResidentMemory.h"

#include <cstdio>

#include <unistd.h>

std::int64_t ResidentBytes()
{
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return 0;
    long long totalPages = 0;
    long long residentPages = 0;
    const int fields = std::fscanf(statm, "%lld %lld", &totalPages, &residentPages);
    std::fclose(statm);
    if (fields != 2)
        return 0;
    return static_cast<std::int64_t>(residentPages) * sysconf(_SC_PAGESIZE);
}

std::int64_t PeakResidentBytes()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    long long kilobytes = 0;
    while (std::fgets(line, sizeof line, status)) {
        if (std::sscanf(line, "VmHWM: %lld kB", &kilobytes) == 1)
            break;
    }
    std::fclose(status);
    return static_cast<std::int64_t>(kilobytes) * 1024;
}

void ResetPeakResidentBytes()
{
    if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", clear);
        std::fclose(clear);
    }
}
