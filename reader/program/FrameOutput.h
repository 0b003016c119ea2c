#pragma once

#include <QByteArray>

#include <chrono>

// The reader's answer to its parent: frames gather in Buffer() and go out
// in large writes to the descriptor given. A reader whose parent has gone
// ends at once.
class TFrameOutput {
public:
    explicit TFrameOutput(int descriptor) : mDescriptor(descriptor) {}

    QByteArray& Buffer() { return mBuffer; }

    // Called often during a scan: writes what has gathered once it is large,
    // and at least every AliveInterval with an Alive frame at its end, so
    // that the parent hears regularly from a scan that finds few records.
    void KeepAlive();
    void Flush();

private:
    static constexpr qsizetype FlushBytes = 1 << 16;
    static constexpr std::chrono::milliseconds AliveInterval{500};

    int mDescriptor;
    QByteArray mBuffer;
    std::chrono::steady_clock::time_point mLastAlive = std::chrono::steady_clock::now();
};
