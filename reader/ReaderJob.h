#pragma once

#include "common/LoadProgress.h"
#include "reader/ReaderFrames.h"
#include "reader/ReaderProcess.h"

#include <QString>
#include <QStringList>

// One job of the reader program on one file: `plotreel-reader JOB FILE
// ARGUMENTS...`. Reads its frames, passes over Alive frames and throws the
// message of an Error frame as an Exception.
class TReaderJob {
public:
    TReaderJob(const QString& job, const QString& fileName, const QStringList& arguments, int silenceLimitMs);

    // Reads a frame's payload; a damaged one ends the reader with the error
    // that names the file.
    template <class TRead>
    auto Read(const TReaderProcess::TFrame& frame, TRead read)
    {
        TPayloadReader payload(frame.Data, frame.Size);
        try {
            return read(payload);
        } catch (const TDamagedPayload&) {
            Misbehaved();
        }
    }

    // The next frame that is neither Alive nor Error. Each Alive frame
    // reports `done` of `total` to progress.
    TReaderProcess::TFrame Next(TLoadProgress* progress = nullptr, qint64 done = 0, qint64 total = -1);

    // The next frame, which must be of the kind expected.
    TReaderProcess::TFrame Expect(quint8 kind);

    [[noreturn]] void Misbehaved() { mReader.Misbehaved(); }

private:
    TReaderProcess mReader;
};

// The reader program: $PLOTREEL_READER where set, else the one beside the
// running program, else the one of the build tree.
QString ReaderProgram();
