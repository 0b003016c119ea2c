#include "database/AccessDatabase.h"

#include "common/Exception.h"
#include "database/AccessProtocol.h"
#include "database/DatabaseValues.h"
#include "reader/ReaderJob.h"

#include <QFileInfo>

namespace {

const QString Job = QStringLiteral("access");

QStringList Names(const QString& fileName, const QStringList& arguments, int silenceLimitMs)
{
    TReaderJob job(Job, fileName, arguments, silenceLimitMs);
    return job.Read(job.Expect(quint8(TAccessFrame::Names)), ReadNames);
}

class TAccessRows : public TDatabaseRows {
public:
    TAccessRows(const QString& fileName, const QStringList& arguments, int silenceLimitMs)
        : mJob(Job, fileName, arguments, silenceLimitMs)
    {
        mColumns = mJob.Read(mJob.Expect(quint8(TAccessFrame::Columns)), ReadColumns);
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
        mJob.Read(frame, [this](TPayloadReader& payload) { ReadRow(payload, mColumns, mValues); });
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

    TReaderJob mJob;
    std::vector<TAccessColumn> mColumns;
    QStringList mNames;
    std::vector<TAccessValue> mValues;
    bool mEnded = false;
    TLoadProgress* mProgress = nullptr;
    qint64 mRecords = 0;
};

} // namespace

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
