#include "reader/ReaderJob.h"

#include "common/Exception.h"

#include <QCoreApplication>
#include <QFileInfo>

TReaderJob::TReaderJob(const QString& job, const QString& fileName, const QStringList& arguments,
                       int silenceLimitMs)
    : mReader(ReaderProgram(), QStringList{job, fileName} + arguments, fileName, silenceLimitMs)
{
}

TReaderProcess::TFrame TReaderJob::Next(TLoadProgress* progress, qint64 done, qint64 total)
{
    for (;;) {
        const TReaderProcess::TFrame frame = mReader.Next();
        switch (static_cast<TReaderFrame>(frame.Kind)) {
        case TReaderFrame::Alive:
            ReportLoadProgress(progress, done, total);
            continue;
        case TReaderFrame::Error:
            throw Exception(Read(frame, [](TPayloadReader& payload) { return payload.Text(); }));
        default:
            return frame;
        }
    }
}

TReaderProcess::TFrame TReaderJob::Expect(quint8 kind)
{
    const TReaderProcess::TFrame frame = Next();
    if (frame.Kind != kind)
        Misbehaved();
    return frame;
}

QString ReaderProgram()
{
    const QString chosen = qEnvironmentVariable("PLOTREEL_READER");
    if (!chosen.isEmpty())
        return chosen;
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/plotreel-reader");
        if (QFileInfo(beside).isExecutable())
            return beside;
    }
    return QStringLiteral(PLOTREEL_READER_BUILT);
}
