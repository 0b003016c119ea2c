#pragma once

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Memory that has been reserved but not yet written.
struct TMemorySpan {
    void* Data;
    std::size_t Bytes;
};

// Asks the kernel to back the span, where it lies on whole huge pages (2 MB),
// with huge pages when they are first written: a page fault then hands over
// 2 MB instead of 4 KB, and getting the pages of a column of millions of points
// costs a few hundred faults instead of tens of thousands. Does nothing where
// the kernel does not offer them; nothing is written.
void AdviseHugePages(const TMemorySpan& span);

// Asks the kernel, on a thread of its own, for the pages of spans about to be
// written, in the order given. Getting a page costs about as much as reading
// it from a file; done beside the reading, it is off the reader's way. The
// contents are not touched, so the writer may be writing the same pages at
// the same time. Stops early and waits for the thread when destroyed, so it
// must go before the memory does.
class TMemoryPrefaulter {
public:
    explicit TMemoryPrefaulter(std::vector<TMemorySpan> spans);
    ~TMemoryPrefaulter();
    TMemoryPrefaulter(const TMemoryPrefaulter&) = delete;
    TMemoryPrefaulter& operator=(const TMemoryPrefaulter&) = delete;

private:
    void Run();

    std::vector<TMemorySpan> mSpans;
    std::atomic<bool> mStop{false};
    std::thread mThread;
};
