#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

// A reader program started for one job on one file, so that a library that
// crashes, loops or eats memory on a damaged file takes only that program
// down. The parent reads its standard output as frames: a kind byte, a 32-bit
// little-endian payload length and the payload. Its standard input and error
// are /dev/null: what a library prints there reaches nobody. The program is
// killed when the object goes.
class TReaderProcess {
public:
    struct TFrame {
        quint8 Kind;
        const char* Data; // valid until the next call of Next
        quint32 Size;
    };

    // Throws an Exception when the program cannot be started.
    TReaderProcess(const QString& program, const QStringList& arguments, const QString& fileName, int silenceMs);
    ~TReaderProcess();
    TReaderProcess(const TReaderProcess&) = delete;
    TReaderProcess& operator=(const TReaderProcess&) = delete;

    // Waits for the next frame. When the program ends before one is whole,
    // or sends nothing for silenceMs (it is killed then), throws an Exception
    // that names the file and says what happened.
    TFrame Next();

    // Ends the program and throws the Exception for a frame it should not
    // have sent.
    [[noreturn]] void Misbehaved();

private:
    [[noreturn]] void Stopped(const QString& what);
    void Kill();

    QString mFileName;
    int mSilenceMs;
    pid_t mPid = -1;
    int mOutput = -1;
    QByteArray mBuffer;
    qsizetype mStart = 0;
};
