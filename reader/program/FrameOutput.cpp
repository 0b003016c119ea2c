#include "reader/program/FrameOutput.h"

#include "reader/ReaderFrames.h"

#include <cerrno>

#include <unistd.h>

void TFrameOutput::KeepAlive()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - mLastAlive >= AliveInterval) {
        AppendEmptyFrame(mBuffer, quint8(TReaderFrame::Alive));
        mLastAlive = now;
        Flush();
    } else if (mBuffer.size() >= FlushBytes) {
        Flush();
    }
}

void TFrameOutput::Flush()
{
    const char* data = mBuffer.constData();
    qsizetype left = mBuffer.size();
    while (left > 0) {
        const ssize_t written = ::write(mDescriptor, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            ::_exit(1);
        data += written;
        left -= written;
    }
    mBuffer.resize(0);
}
