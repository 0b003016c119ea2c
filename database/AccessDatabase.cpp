#include "database/AccessDatabase.h"

#include "common/Exception.h"
#include "common/LoadWindow.h"
#include "database/DatabaseValues.h"
#include "database/ReaderProcess.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <mdbtools.h>

#include <vector>

namespace {

// The reader program: beside the program, or where the build made it.
QString ReaderProgram()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/plotreel-access-reader");
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStringLiteral(PLOTREEL_ACCESS_READER);
}

// The names that a request to the reader brings.
QStringList Names(const QString& fileName, const QStringList& request)
{
    TReaderProcess reader(ReaderProgram(), request, fileName);
    QStringList names;
    TReaderFrame kind;
    std::string payload;
    while (reader.Next(kind, payload)) {
        if (kind == TReaderFrame::Name)
            names << QString::fromUtf8(payload.data(), static_cast<qsizetype>(payload.size()));
    }
    return names;
}

QString TypeName(int type)
{
    switch (type) {
    case MDB_BOOL:
        return QStringLiteral("Yes/No");
    case MDB_BINARY:
        return QStringLiteral("Binary");
    case MDB_OLE:
        return QStringLiteral("OLE Object");
    case MDB_REPID:
        return QStringLiteral("Replication ID");
    default:
        return QStringLiteral("%1").arg(type);
    }
}

// The records of a table as the reader sends them; those whose time field
// lies in the window are handed on.
class TAccessRows : public TDatabaseRows {
public:
    TAccessRows(const QString& fileName, const QString& table, const QString& timeField, TDateTime time1,
                TDateTime time2)
        : mReader(ReaderProgram(), {QStringLiteral("rows"), fileName, table}, fileName), mWindow{time1, time2}
    {
        TReaderFrame kind;
        std::string payload;
        // The columns come first, each its type byte and its name.
        while (mReader.Next(kind, payload)) {
            if (kind == TReaderFrame::Row) {
                mPending = true;
                break;
            }
            if (payload.empty())
                continue;
            mTypes.push_back(static_cast<unsigned char>(payload[0]));
            mNames << QString::fromUtf8(payload.data() + 1, static_cast<qsizetype>(payload.size() - 1));
        }
        mTimeField = FieldIndex(timeField);
        mPayload = std::move(payload);
    }

    bool Next() override
    {
        for (;;) {
            if (!mPending) {
                TReaderFrame kind;
                if (!mReader.Next(kind, mPayload))
                    return false;
            }
            mPending = false;
            if (!ParseRow(mPayload, mFields) || mFields.size() != mTypes.size())
                throw Exception(QStringLiteral("The reader of the Access file sent a damaged record."));
            if (mFields[mTimeField].Tag == TReaderValue::Null)
                continue;
            if (mWindow.Contains(TimeValue(mTimeField)))
                return true;
        }
    }

    int FieldIndex(const QString& name) const override
    {
        for (int i = 0; i < mNames.size(); ++i) {
            if (mNames[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        throw Exception(QStringLiteral("Field '%1' not found.").arg(name));
    }

    TDateTime TimeValue(int field) override
    {
        const TReaderField& value = mFields[field];
        if (value.Tag == TReaderValue::Null)
            return 0;
        switch (mTypes[field]) {
        case MDB_DATETIME:
            return value.Number;
        case MDB_TEXT:
        case MDB_MEMO:
            return TimeFromText(value.Text, mNames[field]);
        default:
            ThrowUnreadable(mNames[field], TypeName(mTypes[field]), true);
        }
    }

    double NumberValue(int field) override
    {
        const TReaderField& value = mFields[field];
        switch (value.Tag) {
        case TReaderValue::Null:
            return 0;
        case TReaderValue::Number:
            return value.Number;
        case TReaderValue::Text:
            return NumberFromText(value.Text, mNames[field]);
        case TReaderValue::Other:
            break;
        }
        ThrowUnreadable(mNames[field], TypeName(mTypes[field]), false);
    }

private:
    TReaderProcess mReader;
    TLoadWindow mWindow;
    QStringList mNames;
    std::vector<int> mTypes;
    int mTimeField = 0;
    std::string mPayload;
    bool mPending = false;
    std::vector<TReaderField> mFields;
};

} // namespace

TAccessDatabase::TAccessDatabase(const QString& fileName) : mFileName(fileName)
{
    if (!QFileInfo(fileName).isFile())
        throw Exception(QStringLiteral("Could not find file '%1'.").arg(fileName));
    // Read once here, so that a file that is no Access file fails to connect.
    mTables = Names(fileName, {QStringLiteral("tables"), fileName});
}

TAccessDatabase::~TAccessDatabase() = default;

QStringList TAccessDatabase::Tables()
{
    return mTables;
}

QStringList TAccessDatabase::Columns(const QString& table)
{
    // Each name comes after its column's type byte.
    QStringList columns;
    for (const QString& column : Names(mFileName, {QStringLiteral("columns"), mFileName, table}))
        columns << column.mid(1);
    return columns;
}

std::unique_ptr<TDatabaseRows> TAccessDatabase::Select(const QString& table, const QString& timeField,
                                                       TDateTime time1, TDateTime time2)
{
    return std::make_unique<TAccessRows>(mFileName, table, timeField, time1, time2);
}
