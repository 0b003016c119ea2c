#pragma once

#include "database/ReaderFrames.h"

#include <QString>
#include <QStringList>

#include <sys/types.h>

// A reader program started for one request, whose frames are read as they
// come. A reader that fails, dies or falls silent ends in an Exception that
// names the file; ending the object ends the reader.
class TReaderProcess {
public:
    // Starts program with arguments; fileName is the file it reads, for the
    // messages.
    TReaderProcess(const QString& program, const QStringList& arguments, const QString& fileName);
    ~TReaderProcess();
    TReaderProcess(const TReaderProcess&) = delete;
    TReaderProcess& operator=(const TReaderProcess&) = delete;

    // The next frame of names or records; false once the reader has sent
    // everything. Throws the reader's own error, or that it stopped.
    bool Next(TReaderFrame& kind, std::string& payload);

    // How long a reader may stay silent before it counts as hung.
    static void SetSilenceLimit(int milliseconds);

private:
    [[noreturn]] void Fail(const QString& what);
    void Stop();

    QString mFileName;
    pid_t mPid = -1;
    int mPipe = -1;
    TFrameBuffer mBuffer;
    bool mDone = false;
};
