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

    // Writes what has gathered when it is large or has waited long enough;
    // with nothing gathered for a while, sends an Alive frame, so that the
    // parent hears from a long scan that finds few records.
    void KeepAlive();
    void Flush();

private:
    static constexpr qsizetype FlushBytes = 1 << 16;
    static constexpr std::chrono::milliseconds FlushInterval{500};

    int mDescriptor;
    QByteArray mBuffer;
    std::chrono::steady_clock::time_point mLastWrite = std::chrono::steady_clock::now();
};
