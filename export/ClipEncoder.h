#pragma once

#include "export/FfmpegPointers.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

class TClipSound;
class TClipWriter;

// Encodes a clip's composed frames, and the sound up to each, on a thread of
// its own: meanwhile the next frames are decoded and their chart drawn.
// Destroyed before Finish(), it stops at once and drops what is queued.
class TClipEncoder {
public:
    TClipEncoder(TClipWriter& writer, TClipSound* sound);
    ~TClipEncoder();
    TClipEncoder(const TClipEncoder&) = delete;
    TClipEncoder& operator=(const TClipEncoder&) = delete;

    // Queues a frame whose time is `seconds` from the clip's start; waits
    // while a few frames are queued. Throws what the encoding threw.
    void Push(TFfmpegPtr<AVFrame> frame, double seconds);
    // Encodes what is queued and ends the thread; throws what the encoding
    // threw.
    void Finish();

private:
    struct TItem {
        TFfmpegPtr<AVFrame> Frame;
        double Seconds;
    };
    void Run();
    void Stop();

    TClipWriter& mWriter;
    TClipSound* mSound;
    std::mutex mMutex;
    std::condition_variable mChanged;
    std::deque<TItem> mQueue;
    bool mDone = false;
    bool mStopped = false;
    std::exception_ptr mError;
    std::thread mThread;
};
