#include "spreadsheet/XmlBlocks.h"

#include "spreadsheet/XmlParse.h"
#include "spreadsheet/ZipPackage.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// Blocks of a sixteenth of the part, within these bounds: large enough that
// a parser for each costs nothing, small enough that a few in flight take
// little memory, and that small parts are split too.
constexpr std::size_t SmallestBlock = 256;
constexpr std::size_t LargestBlock = 256 * 1024;
// Data that holds no end of a child over this many blocks is read in one.
constexpr std::size_t UncutBlocks = 8;
constexpr unsigned MostReaders = 4;

// Line breaks as expat counts them: "\n", "\r\n" and a lone "\r" each.
std::uint64_t LineBreaks(const char* data, std::size_t size)
{
    const char* const end = data + size;
    std::uint64_t breaks = static_cast<std::uint64_t>(std::count(data, end, '\n'));
    for (const char* c = std::find(data, end, '\r'); c != end; c = std::find(c + 1, end, '\r')) {
        if (c + 1 == end || c[1] != '\n')
            ++breaks;
    }
    return breaks;
}

// Just past the last end tag of a child ("</row>" or "</x:row>") in text; 0
// when there is none. Text that only looks like one (in a comment, say) is
// found out when the block is parsed.
std::size_t LastChildEnd(std::string_view text, const std::string& tagEnd)
{
    for (std::size_t at = text.rfind(tagEnd); at != std::string_view::npos && at >= 2;
         at = text.rfind(tagEnd, at - 1)) {
        std::size_t name = at;
        if (text[name - 1] == ':') {
            --name;
            while (name > 0 && text[name - 1] != '/' && text[name - 1] != '<' && text[name - 1] != '>')
                --name;
        }
        if (name >= 2 && text[name - 1] == '/' && text[name - 2] == '<')
            return at + tagEnd.size();
    }
    return 0;
}

struct TBlock {
    enum class TOutcome {
        // Parsed from one child's start to another's end.
        Read,
        // The split element ends in the block.
        Ended,
        // Parsed in vain: the part's own handler reads the block again.
        Again,
    };
    std::vector<char> Bytes;
    // The part ends with the block.
    bool Last = false;
    std::unique_ptr<TXmlBlock> Found;
    TOutcome Outcome = TOutcome::Read;
    // The block handler's error, to go on after what it found before.
    std::exception_ptr Error;
    std::uint64_t LineBreaks = 0;
    bool Taken = false;
    bool Done = false;
};

// Threads that parse the blocks given them, each with a parser of its own.
class TBlockReaders {
public:
    TBlockReaders(const QByteArray& part, const TXmlContext& context, const TXmlBlockMaker& newBlock)
        : mPart(part), mContext(context), mNewBlock(newBlock)
    {
        const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1U, MostReaders);
        try {
            for (unsigned i = 0; i < count; ++i)
                mThreads.emplace_back([this] { Work(); });
        } catch (...) {
            Stop();
            throw;
        }
        mCapacity = 2 * count + 1;
    }

    ~TBlockReaders() { Stop(); }
    TBlockReaders(const TBlockReaders&) = delete;
    TBlockReaders& operator=(const TBlockReaders&) = delete;

    std::size_t Capacity() const { return mCapacity; }

    std::size_t Count()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        return mBlocks.size();
    }

    void Add(std::unique_ptr<TBlock> block)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mBlocks.push_back(std::move(block));
        mChanged.notify_all();
    }

    // A block to fill: one handed on before, with the memory it took, or a
    // new one.
    std::unique_ptr<TBlock> Spare()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if (mSpare.empty())
            return std::make_unique<TBlock>();
        std::unique_ptr<TBlock> block = std::move(mSpare.back());
        mSpare.pop_back();
        block->Outcome = TBlock::TOutcome::Read;
        block->Error = nullptr;
        block->LineBreaks = 0;
        block->Taken = false;
        block->Done = false;
        return block;
    }

    void Recycle(std::unique_ptr<TBlock> block)
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mSpare.push_back(std::move(block));
    }

    // The first block, once parsed.
    std::unique_ptr<TBlock> TakeFirst()
    {
        std::unique_lock<std::mutex> lock(mMutex);
        mChanged.wait(lock, [this] { return mBlocks.front()->Done; });
        std::unique_ptr<TBlock> block = std::move(mBlocks.front());
        mBlocks.pop_front();
        return block;
    }

    // Ends the threads once their blocks are parsed; the blocks left, in
    // order.
    std::deque<std::unique_ptr<TBlock>> Stop()
    {
        {
            const std::lock_guard<std::mutex> lock(mMutex);
            mStopped = true;
            mChanged.notify_all();
        }
        for (std::thread& thread : mThreads)
            thread.join();
        mThreads.clear();
        return std::move(mBlocks);
    }

private:
    void Work()
    {
        for (;;) {
            TBlock* block = nullptr;
            {
                std::unique_lock<std::mutex> lock(mMutex);
                mChanged.wait(lock, [&] {
                    const auto waiting = std::find_if(mBlocks.begin(), mBlocks.end(),
                                                      [](const std::unique_ptr<TBlock>& one) { return !one->Taken; });
                    block = waiting == mBlocks.end() ? nullptr : waiting->get();
                    return mStopped || block;
                });
                if (mStopped)
                    return;
                block->Taken = true;
            }
            Read(*block);
            const std::lock_guard<std::mutex> lock(mMutex);
            block->Done = true;
            mChanged.notify_all();
        }
    }

    void Read(TBlock& block) const
    {
        using TOutcome = TBlock::TOutcome;
        try {
            if (!block.Found)
                block.Found = mNewBlock();
            TXmlParse parse(mPart, block.Found->Restart(), &mContext);
            TXmlProgress progress = parse.Parse(block.Bytes.data(), block.Bytes.size(), false);
            if (progress == TXmlProgress::Stopped) {
                block.Outcome = TOutcome::Ended;
                return;
            }
            // The last block must hold the element's end; a parse of it to
            // the part's end tells what is wrong with the part.
            if (progress == TXmlProgress::Going && !block.Last)
                progress = parse.Close();
            const bool read = progress == TXmlProgress::Going || progress == TXmlProgress::Stopped;
            block.Outcome = read && !block.Last ? TOutcome::Read : TOutcome::Again;
            block.LineBreaks = parse.LineBreaks();
        } catch (...) {
            block.Error = std::current_exception();
        }
    }

    const QByteArray mPart;
    const TXmlContext mContext;
    const TXmlBlockMaker& mNewBlock;
    std::vector<std::thread> mThreads;
    std::size_t mCapacity = 1;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<std::unique_ptr<TBlock>> mBlocks;
    std::vector<std::unique_ptr<TBlock>> mSpare;
    bool mStopped = false;
};

// A part read from its start by its own handler until that splits it, then
// in blocks, and from a block that cannot be read on its own by its own
// handler again.
class TSplitParse {
public:
    TSplitParse(const QByteArray& part, std::uint64_t size, TXmlHandler& handler, const TXmlBlockMaker& newBlock)
        : mPart(part), mHandler(handler), mNewBlock(newBlock), mHead(part, handler),
          mBlockSize(static_cast<std::size_t>(std::clamp<std::uint64_t>(size / 16, SmallestBlock, LargestBlock)))
    {
        mHead.AllowSplit();
    }

    // Takes the next piece of the part; false once the part is read.
    bool Take(const char* data, std::size_t size)
    {
        switch (mStage) {
        case TStage::Head:
            return TakeHead(data, size);
        case TStage::Blocks:
            return TakeBlocks(data, size);
        case TStage::Rest:
            return mRest->Feed(data, size, false);
        }
        return false;
    }

    // The part has ended.
    void Finish()
    {
        switch (mStage) {
        case TStage::Head:
            mHead.Feed(nullptr, 0, true);
            return;
        case TStage::Blocks:
            if (!MakeRoom())
                return;
            if (mStage == TStage::Blocks) {
                std::unique_ptr<TBlock> block = mReaders->Spare();
                std::swap(block->Bytes, mPending);
                block->Last = true;
                mReaders->Add(std::move(block));
                if (!Deliver(0) || mStage != TStage::Rest)
                    return;
            } else if (!mRest->Feed(mPending.data(), mPending.size(), false)) {
                return;
            }
            mRest->Feed(nullptr, 0, true);
            return;
        case TStage::Rest:
            mRest->Feed(nullptr, 0, true);
            return;
        }
    }

private:
    enum class TStage { Head, Blocks, Rest };

    bool TakeHead(const char* data, std::size_t size)
    {
        const TXmlProgress progress = mHead.Parse(data, size, false);
        if (progress == TXmlProgress::Broken)
            throw mHead.Failure();
        if (progress != TXmlProgress::Split) {
            mLineBreaks += LineBreaks(data, size);
            mOffset += size;
            return progress == TXmlProgress::Going;
        }
        const TXmlSplit& split = mHead.SplitAt();
        if (split.Offset < mOffset || split.Offset - mOffset > size)
            throw mHead.Failure();
        const std::size_t at = static_cast<std::size_t>(split.Offset - mOffset);
        mLineBreaks += LineBreaks(data, at);
        mContext = split.Context;
        mTagEnd = split.Child.toStdString() + '>';
        mReaders = std::make_unique<TBlockReaders>(mPart, mContext, mNewBlock);
        mStage = TStage::Blocks;
        return TakeBlocks(data + at, size - at);
    }

    bool TakeBlocks(const char* data, std::size_t size)
    {
        mPending.insert(mPending.end(), data, data + size);
        // Blocks of about the block size, longer only where a child is.
        std::size_t start = 0;
        while (mPending.size() - start >= mBlockSize) {
            const std::string_view rest(mPending.data() + start, mPending.size() - start);
            std::size_t cut = LastChildEnd(rest.substr(0, mBlockSize), mTagEnd);
            if (cut == 0)
                cut = LastChildEnd(rest, mTagEnd);
            if (cut == 0 && rest.size() < UncutBlocks * mBlockSize)
                break;
            if (cut == 0) {
                if (!Deliver(0) || (mStage == TStage::Blocks && !ReadRest(nullptr)))
                    return false;
                break;
            }
            if (!MakeRoom())
                return false;
            if (mStage == TStage::Rest)
                break;
            std::unique_ptr<TBlock> block = mReaders->Spare();
            block->Last = false;
            if (start == 0 && rest.size() - cut < mBlockSize) {
                // The last block of what waits takes the bytes themselves,
                // and leaves the few after its end.
                block->Bytes.assign(rest.begin() + static_cast<std::ptrdiff_t>(cut), rest.end());
                std::swap(block->Bytes, mPending);
                block->Bytes.resize(cut);
            } else {
                block->Bytes.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(cut));
                start += cut;
            }
            mReaders->Add(std::move(block));
        }
        mPending.erase(mPending.begin(), mPending.begin() + static_cast<std::ptrdiff_t>(start));
        if (mStage == TStage::Blocks)
            return true;
        const bool going = mRest->Feed(mPending.data(), mPending.size(), false);
        mPending = {};
        return going;
    }

    // Hands on the first blocks while too many are in flight; false once
    // the part is read. The part's own handler may read on from here.
    bool MakeRoom() { return Deliver(mReaders->Capacity() - 1); }

    // Hands on parsed blocks in order until at most keep are in flight;
    // false once the part is read.
    bool Deliver(std::size_t keep)
    {
        while (mStage == TStage::Blocks && mReaders->Count() > keep) {
            std::unique_ptr<TBlock> block = mReaders->TakeFirst();
            if (block->Outcome == TBlock::TOutcome::Again)
                return ReadRest(std::move(block));
            if (block->Found)
                block->Found->Deliver();
            if (block->Error)
                std::rethrow_exception(block->Error);
            mLineBreaks += block->LineBreaks;
            if (block->Outcome == TBlock::TOutcome::Ended)
                return false;
            mReaders->Recycle(std::move(block));
        }
        return true;
    }

    // The part's own handler reads on from block (when given), then from
    // the blocks in flight; what waits to be cut is left to the caller.
    bool ReadRest(std::unique_ptr<TBlock> block)
    {
        std::deque<std::unique_ptr<TBlock>> blocks = mReaders->Stop();
        if (block)
            blocks.push_front(std::move(block));
        mContext.Lines = mLineBreaks;
        mRest = std::make_unique<TXmlParse>(mPart, mHandler, &mContext);
        mStage = TStage::Rest;
        for (const std::unique_ptr<TBlock>& one : blocks) {
            if (!mRest->Feed(one->Bytes.data(), one->Bytes.size(), false))
                return false;
        }
        return true;
    }

    const QByteArray mPart;
    TXmlHandler& mHandler;
    const TXmlBlockMaker& mNewBlock;
    TXmlParse mHead;
    const std::size_t mBlockSize;
    TStage mStage = TStage::Head;
    // Bytes of the part the head parse went through.
    std::uint64_t mOffset = 0;
    // Line breaks before the first byte not handed on.
    std::uint64_t mLineBreaks = 0;
    TXmlContext mContext;
    std::string mTagEnd;
    std::vector<char> mPending;
    std::unique_ptr<TXmlParse> mRest;
    std::unique_ptr<TBlockReaders> mReaders;
};

} // namespace

void ParseXmlPartInBlocks(const TZipPackage& package, const QByteArray& part, TXmlHandler& handler,
                          const TXmlBlockMaker& newBlock, const TReadProgress& onProgress)
{
    const std::uint64_t total = package.PartSize(part);
    TSplitParse parse(part, total, handler, newBlock);
    bool going = true;
    std::uint64_t done = 0;
    package.ReadPart(part, [&](const char* data, std::size_t size) {
        going = parse.Take(data, size);
        done += size;
        if (onProgress)
            onProgress(done, total);
        return going;
    });
    if (going)
        parse.Finish();
}
