#include "database/AccessDatabase.h"

#include "common/Exception.h"
#include "database/AccessProtocol.h"
#include "database/DatabaseValues.h"
#include "database/ReaderProcess.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString ReaderName = QStringLiteral("plotreel-access-reader");

// The frames of a job that end with one frame of a known kind: that frame's
// payload. An Error frame throws its message.
class TAccessJob {
public:
    TAccessJob(const QString& fileName, const QStringList& arguments, int silenceLimitMs)
        : mReader(AccessReaderProgram(), QStringList{fileName} + arguments, fileName, silenceLimitMs)
    {
    }

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

    // The next frame that is not Alive; throws the message of an Error. Each
    // Alive frame reports `done` to progress.
    TReaderProcess::TFrame Next(TLoadProgress* progress = nullptr, qint64 done = 0)
    {
        for (;;) {
            const TReaderProcess::TFrame frame = mReader.Next();
            switch (static_cast<TAccessFrame>(frame.Kind)) {
            case TAccessFrame::Alive:
                ReportLoadProgress(progress, done, -1);
                continue;
            case TAccessFrame::Error:
                throw Exception(Read(frame, [](TPayloadReader& payload) { return payload.Text(); }));
            default:
                return frame;
            }
        }
    }

    // The next frame, which must be of the kind expected.
    TReaderProcess::TFrame Expect(TAccessFrame kind)
    {
        const TReaderProcess::TFrame frame = Next();
        if (frame.Kind != static_cast<quint8>(kind))
            Misbehaved();
        return frame;
    }

    [[noreturn]] void Misbehaved() { mReader.Misbehaved(); }

private:
    TReaderProcess mReader;
};

QStringList Names(const QString& fileName, const QStringList& arguments, int silenceLimitMs)
{
    TAccessJob job(fileName, arguments, silenceLimitMs);
    return job.Read(job.Expect(TAccessFrame::Names), [](TPayloadReader& payload) { return payload.Names(); });
}

class TAccessRows : public TDatabaseRows {
public:
    TAccessRows(const QString& fileName, const QStringList& arguments, int silenceLimitMs)
        : mJob(fileName, arguments, silenceLimitMs)
    {
        mColumns = mJob.Read(mJob.Expect(TAccessFrame::Columns),
                             [](TPayloadReader& payload) { return payload.Columns(); });
        for (const TAccessColumn& column : mColumns)
            mNames << column.Name;
    }

    bool Next() override
    {
        if (mEnded)
            return false;
        const TReaderProcess::TFrame frame = mJob.Next(mProgress, mRecords);
        if (frame.Kind == static_cast<quint8>(TAccessFrame::End)) {
            mEnded = true;
            return false;
        }
        if (frame.Kind != static_cast<quint8>(TAccessFrame::Row))
            mJob.Misbehaved();
        mJob.Read(frame, [this](TPayloadReader& payload) { payload.Row(mColumns, mValues); });
        ++mRecords;
        return true;
    }

    void ReportWaitsTo(TLoadProgress* progress) override { mProgress = progress; }

    int FieldIndex(const QString& name) const override { return FieldPosition(mNames, name); }

    TDateTime TimeValue(int field) override { return AccessTime(Column(field), mValues[Index(field)]); }

    double NumberValue(int field) override { return AccessNumber(Column(field), mValues[Index(field)]); }

private:
    std::size_t Index(int field) const { return static_cast<std::size_t>(field); }
    const TAccessColumn& Column(int field) const { return mColumns[Index(field)]; }

    TAccessJob mJob;
    std::vector<TAccessColumn> mColumns;
    QStringList mNames;
    std::vector<TAccessValue> mValues;
    bool mEnded = false;
    TLoadProgress* mProgress = nullptr;
    qint64 mRecords = 0;
};

} // namespace

QString AccessReaderProgram()
{
    const QString chosen = qEnvironmentVariable("PLOTREEL_ACCESS_READER");
    if (!chosen.isEmpty())
        return chosen;
    if (QCoreApplication::instance()) {
        const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') + ReaderName;
        if (QFileInfo(beside).isExecutable())
            return beside;
    }
    return QStringLiteral(PLOTREEL_ACCESS_READER_BUILT);
}

TAccessDatabase::TAccessDatabase(const QString& fileName, int silenceLimitMs)
    : mFileName(fileName), mSilenceLimitMs(silenceLimitMs)
{
    if (!QFileInfo(fileName).isFile())
        throw Exception(QStringLiteral("Could not find file '%1'.").arg(fileName));
    mTables = Names(mFileName, {QStringLiteral("tables")}, mSilenceLimitMs);
}

QStringList TAccessDatabase::Tables()
{
    return mTables;
}

QStringList TAccessDatabase::Columns(const QString& table)
{
    return Names(mFileName, {QStringLiteral("columns"), table}, mSilenceLimitMs);
}

std::unique_ptr<TDatabaseRows> TAccessDatabase::Select(const QString& table, const QString& timeField,
                                                       TDateTime time1, TDateTime time2)
{
    const QStringList arguments{QStringLiteral("select"), table, timeField, QString::number(time1, 'g', 17),
                                QString::number(time2, 'g', 17)};
    return std::make_unique<TAccessRows>(mFileName, arguments, mSilenceLimitMs);
}
