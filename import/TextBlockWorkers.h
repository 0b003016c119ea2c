#pragma once

#include "import/TextBlock.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Reads blocks of a text on helper threads, one a processor, while the caller
// goes on cutting the next ones, and gives them back in the order they were
// given. Destroyed, it lets each helper finish the block in its hands, drops
// the rest and waits for the helpers.
class TTextBlockWorkers {
public:
    TTextBlockWorkers(const TTextImportOptions& options, const TTextLocale& locale);
    ~TTextBlockWorkers();
    TTextBlockWorkers(const TTextBlockWorkers&) = delete;
    TTextBlockWorkers& operator=(const TTextBlockWorkers&) = delete;

    std::size_t Helpers() const { return mHelpers.size(); }
    void Read(std::unique_ptr<TTextBlock> block);
    // Blocks given to Read and not yet taken back.
    std::size_t Pending() const;
    // Waits until the oldest of those is read and takes it back.
    std::unique_ptr<TTextBlock> TakeOldest();

private:
    struct TEntry {
        std::unique_ptr<TTextBlock> Block;
        bool Read = false;
    };

    void Run();

    const TTextImportOptions& mOptions;
    const TTextLocale& mLocale;
    mutable std::mutex mMutex;
    std::condition_variable mWorkGiven;
    std::condition_variable mWorkDone;
    // Oldest first. A helper keeps a reference to the entry it reads: the
    // deque never moves its elements, and an entry leaves it only once read.
    std::deque<TEntry> mEntries;
    // The entries before this one are read or in a helper's hands.
    std::size_t mNextToRead = 0;
    bool mStopping = false;
    std::vector<std::thread> mHelpers;
};
