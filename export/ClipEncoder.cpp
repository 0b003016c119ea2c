#include "export/ClipEncoder.h"

#include "export/ClipSound.h"
#include "export/ClipWriter.h"

namespace {

// Frames queued at most: enough to ride over an uneven frame, few enough
// to hold little memory at 1080p.
constexpr std::size_t QueueFrames = 4;

} // namespace

TClipEncoder::TClipEncoder(TClipWriter& writer, TClipSound* sound)
    : mWriter(writer), mSound(sound), mThread([this] { Run(); })
{
}

TClipEncoder::~TClipEncoder()
{
    Stop();
}

void TClipEncoder::Stop()
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mStopped = true;
    }
    mChanged.notify_all();
    if (mThread.joinable())
        mThread.join();
}

void TClipEncoder::Push(TFfmpegPtr<AVFrame> frame, double seconds)
{
    std::unique_lock<std::mutex> lock(mMutex);
    mChanged.wait(lock, [this] { return mQueue.size() < QueueFrames || mError; });
    if (mError)
        std::rethrow_exception(mError);
    mQueue.push_back({std::move(frame), seconds});
    lock.unlock();
    mChanged.notify_all();
}

void TClipEncoder::Finish()
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mDone = true;
    }
    mChanged.notify_all();
    mThread.join();
    if (mError)
        std::rethrow_exception(mError);
}

void TClipEncoder::Run()
{
    for (;;) {
        TItem item;
        {
            std::unique_lock<std::mutex> lock(mMutex);
            mChanged.wait(lock, [this] { return mStopped || mDone || !mQueue.empty(); });
            if (mStopped || mQueue.empty())
                return;
            item = std::move(mQueue.front());
            mQueue.pop_front();
        }
        mChanged.notify_all();
        try {
            mWriter.WriteVideo(item.Frame.get());
            if (mSound)
                mSound->WriteUntil(item.Seconds, mWriter);
        } catch (...) {
            {
                const std::lock_guard<std::mutex> lock(mMutex);
                mError = std::current_exception();
            }
            mChanged.notify_all();
            return;
        }
    }
}
