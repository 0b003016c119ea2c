#include "import/TextBlockWorkers.h"

#include <algorithm>

TTextBlockWorkers::TTextBlockWorkers(const TTextImportOptions& options, const TTextLocale& locale)
    : mOptions(options), mLocale(locale)
{
    const unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    mHelpers.reserve(processors);
    try {
        for (unsigned i = 0; i < processors; ++i)
            mHelpers.emplace_back(&TTextBlockWorkers::Run, this);
    } catch (...) {
        // Fewer helpers still read every block; none at all cannot.
        if (mHelpers.empty())
            throw;
    }
}

TTextBlockWorkers::~TTextBlockWorkers()
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mStopping = true;
    }
    mWorkGiven.notify_all();
    for (std::thread& helper : mHelpers)
        helper.join();
}

void TTextBlockWorkers::Read(std::unique_ptr<TTextBlock> block)
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mEntries.push_back({std::move(block), false});
    }
    mWorkGiven.notify_one();
}

std::size_t TTextBlockWorkers::Pending() const
{
    const std::lock_guard<std::mutex> lock(mMutex);
    return mEntries.size();
}

std::unique_ptr<TTextBlock> TTextBlockWorkers::TakeOldest()
{
    std::unique_lock<std::mutex> lock(mMutex);
    mWorkDone.wait(lock, [this] { return mEntries.front().Read; });
    std::unique_ptr<TTextBlock> block = std::move(mEntries.front().Block);
    mEntries.pop_front();
    --mNextToRead;
    return block;
}

void TTextBlockWorkers::Run()
{
    std::unique_lock<std::mutex> lock(mMutex);
    for (;;) {
        mWorkGiven.wait(lock, [this] { return mStopping || mNextToRead < mEntries.size(); });
        if (mStopping)
            return;
        TEntry& entry = mEntries[mNextToRead++];
        lock.unlock();
        ParseTextBlock(*entry.Block, mOptions, mLocale);
        lock.lock();
        entry.Read = true;
        mWorkDone.notify_one();
    }
}
