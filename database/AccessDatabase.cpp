#include "database/AccessDatabase.h"

#include "common/Exception.h"
#include "common/LoadWindow.h"
#include "database/DatabaseValues.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <mdbtools.h>

#include <cstring>

// Not in libmdb's header, but exported: the text of a Decimal value.
extern "C" char* mdb_numeric_to_string(MdbHandle* mdb, int start, int scale, int prec);

struct TAccessDatabase::TFile {
    MdbHandle* Handle = nullptr;
    ~TFile()
    {
        if (Handle)
            mdb_close(Handle);
    }
};

namespace {

// A table definition with its columns read, freed with it.
class TTableDef {
public:
    TTableDef(MdbHandle* handle, const QString& name)
    {
        QByteArray utf8 = name.toUtf8();
        mTable = mdb_read_table_by_name(handle, utf8.data(), MDB_TABLE);
        if (!mTable)
            throw Exception(QStringLiteral("The table '%1' does not exist.").arg(name));
        mdb_read_columns(mTable);
    }
    ~TTableDef() { mdb_free_tabledef(mTable); }
    TTableDef(const TTableDef&) = delete;
    TTableDef& operator=(const TTableDef&) = delete;

    MdbTableDef* get() const { return mTable; }
    int ColumnCount() const { return static_cast<int>(mTable->num_cols); }
    MdbColumn* Column(int index) const
    {
        return static_cast<MdbColumn*>(g_ptr_array_index(mTable->columns, static_cast<guint>(index)));
    }

private:
    MdbTableDef* mTable = nullptr;
};

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

class TAccessRows : public TDatabaseRows {
public:
    TAccessRows(MdbHandle* handle, const QString& table, const QString& timeField, TDateTime time1, TDateTime time2)
        : mHandle(handle), mTable(handle, table), mWindow{time1, time2}
    {
        for (int i = 0; i < mTable.ColumnCount(); ++i)
            mNames << QString::fromUtf8(mTable.Column(i)->name);
        mTimeField = FieldIndex(timeField);
        mdb_rewind_table(mTable.get());
    }

    bool Next() override
    {
        while (mdb_fetch_row(mTable.get())) {
            if (IsNull(mTimeField))
                continue;
            if (mWindow.Contains(TimeValue(mTimeField)))
                return true;
        }
        return false;
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
        if (IsNull(field))
            return 0;
        const MdbColumn* column = mTable.Column(field);
        switch (column->col_type) {
        case MDB_DATETIME:
            return mdb_get_double(mHandle->pg_buf, column->cur_value_start);
        case MDB_TEXT:
        case MDB_MEMO:
            return TimeFromText(Text(field).constData(), mNames[field]);
        default:
            ThrowUnreadable(mNames[field], TypeName(column->col_type), true);
        }
    }

    double NumberValue(int field) override
    {
        if (IsNull(field))
            return 0;
        const MdbColumn* column = mTable.Column(field);
        void* page = mHandle->pg_buf;
        const int start = column->cur_value_start;
        switch (column->col_type) {
        case MDB_BYTE:
            return mdb_get_byte(page, start);
        case MDB_INT:
            return static_cast<qint16>(mdb_get_int16(page, start));
        case MDB_LONGINT:
            return static_cast<qint32>(mdb_get_int32(page, start));
        case MDB_FLOAT:
            return mdb_get_single(page, start);
        case MDB_DOUBLE:
        case MDB_DATETIME:
            return mdb_get_double(page, start);
        case MDB_MONEY: {
            // A 64-bit count of ten-thousandths.
            qint64 count = 0;
            std::memcpy(&count, mHandle->pg_buf + start, sizeof count);
            return static_cast<double>(qFromLittleEndian(count)) / 10000.0;
        }
        case MDB_NUMERIC: {
            char* text = mdb_numeric_to_string(mHandle, start, column->col_scale, column->col_prec);
            const QByteArray copy(text);
            g_free(text);
            return NumberFromText(copy.constData(), mNames[field]);
        }
        case MDB_TEXT:
        case MDB_MEMO:
            return NumberFromText(Text(field).constData(), mNames[field]);
        default:
            ThrowUnreadable(mNames[field], TypeName(column->col_type), false);
        }
    }

private:
    bool IsNull(int field) const
    {
        const MdbColumn* column = mTable.Column(field);
        return column->col_type != MDB_BOOL && column->cur_value_len == 0;
    }

    QByteArray Text(int field) const
    {
        const MdbColumn* column = mTable.Column(field);
        char* text = mdb_col_to_string(mHandle, mHandle->pg_buf, column->cur_value_start, column->col_type,
                                       column->cur_value_len);
        QByteArray copy(text);
        g_free(text);
        return copy;
    }

    MdbHandle* mHandle;
    TTableDef mTable;
    TLoadWindow mWindow;
    QStringList mNames;
    int mTimeField = 0;
};

} // namespace

TAccessDatabase::TAccessDatabase(const QString& fileName) : mFile(std::make_unique<TFile>())
{
    if (!QFileInfo(fileName).isFile())
        throw Exception(QStringLiteral("Could not find file '%1'.").arg(fileName));
    mFile->Handle = mdb_open(QFile::encodeName(fileName).constData(), MDB_NOFLAGS);
    if (!mFile->Handle || !mdb_read_catalog(mFile->Handle, MDB_TABLE))
        throw Exception(QStringLiteral("Unrecognized database format '%1'.").arg(fileName));
}

TAccessDatabase::~TAccessDatabase() = default;

QStringList TAccessDatabase::Tables()
{
    QStringList tables;
    GPtrArray* catalog = mFile->Handle->catalog;
    for (guint i = 0; catalog && i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            tables << QString::fromUtf8(entry->object_name);
    }
    return tables;
}

QStringList TAccessDatabase::Columns(const QString& table)
{
    const TTableDef definition(mFile->Handle, table);
    QStringList columns;
    for (int i = 0; i < definition.ColumnCount(); ++i)
        columns << QString::fromUtf8(definition.Column(i)->name);
    return columns;
}

std::unique_ptr<TDatabaseRows> TAccessDatabase::Select(const QString& table, const QString& timeField,
                                                       TDateTime time1, TDateTime time2)
{
    return std::make_unique<TAccessRows>(mFile->Handle, table, timeField, time1, time2);
}
