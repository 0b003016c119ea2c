#include "common/PrefaultMemory.h"

#include <algorithm>
#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Pages are asked for in steps of this size, so that a stop is heard soon.
constexpr std::size_t StepBytes = 8 << 20;

// The size of a huge page on the processors the program runs on.
constexpr std::uintptr_t HugePageBytes = 2 << 20;

} // namespace

void AdviseHugePages(const TMemorySpan& span)
{
#ifdef MADV_HUGEPAGE
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(span.Data);
    const std::uintptr_t first = (address + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
    const std::uintptr_t end = (address + span.Bytes) / HugePageBytes * HugePageBytes;
    // A refusal (no huge pages in this kernel) leaves the pages as they were.
    if (first < end)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
    (void)span;
#endif
}

TMemoryPrefaulter::TMemoryPrefaulter(std::vector<TMemorySpan> spans) : mSpans(std::move(spans))
{
#ifdef MADV_POPULATE_WRITE
    mThread = std::thread(&TMemoryPrefaulter::Run, this);
#endif
}

TMemoryPrefaulter::~TMemoryPrefaulter()
{
    mStop = true;
    if (mThread.joinable())
        mThread.join();
}

void TMemoryPrefaulter::Run()
{
#ifdef MADV_POPULATE_WRITE
    const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    for (const TMemorySpan& span : mSpans) {
        // Whole pages inside the span only: the pages at its ends may hold
        // other data.
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(span.Data);
        std::uintptr_t first = (address + page - 1) / page * page;
        const std::uintptr_t end = (address + span.Bytes) / page * page;
        for (; first < end && !mStop; first += StepBytes) {
            // A kernel without it (before 5.14) says so; the writer then
            // gets the pages itself, as it would anyway.
            if (madvise(reinterpret_cast<void*>(first), std::min<std::uintptr_t>(StepBytes, end - first),
                        MADV_POPULATE_WRITE) != 0)
                return;
        }
    }
#endif
}
