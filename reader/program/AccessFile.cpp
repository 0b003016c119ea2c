#include "reader/program/AccessFile.h"

#include "common/Exception.h"
#include "database/AccessProtocol.h"
#include "database/DatabaseValues.h"
#include "reader/program/FrameOutput.h"

#include <QFile>
#include <QtEndian>

#include <mdbtools.h>

#include <cstring>
#include <vector>

// Not in libmdb's header, but exported: the text of a Decimal value.
extern "C" char* mdb_numeric_to_string(MdbHandle* mdb, int start, int scale, int prec);

struct TAccessFile::THandle {
    MdbHandle* Handle = nullptr;
    ~THandle()
    {
        if (Handle)
            mdb_close(Handle);
    }
};

namespace {

// Records scanned between two looks at the clock for an Alive frame.
constexpr unsigned AliveRecords = 1024;

// A table definition with its columns read, freed with it.
class TTableDef {
public:
    TTableDef(MdbHandle* handle, const QString& name, const QString& fileName)
    {
        QByteArray utf8 = name.toUtf8();
        mTable = mdb_read_table_by_name(handle, utf8.data(), MDB_TABLE);
        if (!mTable)
            throw Exception(QStringLiteral("The table '%1' does not exist.").arg(name));
        mColumns = mdb_read_columns(mTable);
        if (!mColumns) {
            mdb_free_tabledef(mTable);
            throw Exception(QStringLiteral("The file '%1' could not be read: the columns of the table '%2' cannot be read.")
                                .arg(fileName, name));
        }
    }
    ~TTableDef() { mdb_free_tabledef(mTable); }
    TTableDef(const TTableDef&) = delete;
    TTableDef& operator=(const TTableDef&) = delete;

    MdbTableDef* get() const { return mTable; }
    int ColumnCount() const { return static_cast<int>(mColumns->len); }
    MdbColumn* Column(int index) const
    {
        return static_cast<MdbColumn*>(g_ptr_array_index(mColumns, static_cast<guint>(index)));
    }

private:
    MdbTableDef* mTable = nullptr;
    GPtrArray* mColumns = nullptr;
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

TAccessKind KindOf(int type)
{
    switch (type) {
    case MDB_DATETIME:
        return TAccessKind::Date;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_MONEY:
        return TAccessKind::Number;
    case MDB_TEXT:
    case MDB_MEMO:
        return TAccessKind::Text;
    case MDB_NUMERIC:
        return TAccessKind::DecimalText;
    default:
        return TAccessKind::Other;
    }
}

QByteArray TakeText(char* text)
{
    QByteArray copy(text);
    g_free(text);
    return copy;
}

// The value of a column in the record that libmdb has just fetched.
void ReadValue(MdbHandle* handle, const MdbColumn* column, TAccessValue& value)
{
    value.Null = column->col_type != MDB_BOOL && column->cur_value_len == 0;
    if (value.Null)
        return;
    const void* page = handle->pg_buf;
    const int start = column->cur_value_start;
    switch (column->col_type) {
    case MDB_BYTE:
        value.Number = mdb_get_byte(const_cast<void*>(page), start);
        break;
    case MDB_INT:
        value.Number = static_cast<qint16>(mdb_get_int16(const_cast<void*>(page), start));
        break;
    case MDB_LONGINT:
        value.Number = static_cast<qint32>(mdb_get_int32(const_cast<void*>(page), start));
        break;
    case MDB_FLOAT:
        value.Number = mdb_get_single(const_cast<void*>(page), start);
        break;
    case MDB_DOUBLE:
    case MDB_DATETIME:
        value.Number = mdb_get_double(const_cast<void*>(page), start);
        break;
    case MDB_MONEY: {
        // A 64-bit count of ten-thousandths.
        qint64 count = 0;
        std::memcpy(&count, handle->pg_buf + start, sizeof count);
        value.Number = static_cast<double>(qFromLittleEndian(count)) / 10000.0;
        break;
    }
    case MDB_NUMERIC:
        value.Text = TakeText(mdb_numeric_to_string(handle, start, column->col_scale, column->col_prec));
        break;
    case MDB_TEXT:
    case MDB_MEMO:
        value.Text = TakeText(
            mdb_col_to_string(handle, handle->pg_buf, start, column->col_type, column->cur_value_len));
        break;
    default:
        break;
    }
}

} // namespace

TAccessFile::TAccessFile(const QString& fileName) : mFileName(fileName), mHandle(std::make_unique<THandle>())
{
    mHandle->Handle = mdb_open(QFile::encodeName(fileName).constData(), MDB_NOFLAGS);
    if (!mHandle->Handle || !mdb_read_catalog(mHandle->Handle, MDB_TABLE))
        throw Exception(QStringLiteral("Unrecognized database format '%1'.").arg(fileName));
}

TAccessFile::~TAccessFile() = default;

QStringList TAccessFile::Tables() const
{
    QStringList tables;
    GPtrArray* catalog = mHandle->Handle->catalog;
    for (guint i = 0; catalog && i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            tables << QString::fromUtf8(entry->object_name);
    }
    return tables;
}

QStringList TAccessFile::Columns(const QString& table) const
{
    const TTableDef definition(mHandle->Handle, table, mFileName);
    QStringList columns;
    for (int i = 0; i < definition.ColumnCount(); ++i)
        columns << QString::fromUtf8(definition.Column(i)->name);
    return columns;
}

void TAccessFile::Select(const QString& table, const QString& timeField, const TLoadWindow& window,
                         TFrameOutput& out) const
{
    MdbHandle* handle = mHandle->Handle;
    const TTableDef definition(handle, table, mFileName);
    std::vector<TAccessColumn> columns;
    QStringList names;
    for (int i = 0; i < definition.ColumnCount(); ++i) {
        const MdbColumn* column = definition.Column(i);
        columns.push_back({QString::fromUtf8(column->name), KindOf(column->col_type), TypeName(column->col_type)});
        names << columns.back().Name;
    }
    const int time = FieldPosition(names, timeField);
    AppendColumns(out.Buffer(), columns);

    MdbTableDef* tableDef = definition.get();
    // libmdb reads the map of the table's pages without looking.
    if (!tableDef->usage_map || mdb_rewind_table(tableDef) != 0)
        throw Exception(QStringLiteral("The file '%1' could not be read: the records of the table '%2' cannot be found.")
                            .arg(mFileName, table));
    std::vector<TAccessValue> values(columns.size());
    unsigned int records = 0;
    while (mdb_fetch_row(tableDef)) {
        ++records;
        ReadValue(handle, definition.Column(time), values[static_cast<std::size_t>(time)]);
        const TAccessValue& stamp = values[static_cast<std::size_t>(time)];
        if (!stamp.Null && window.Contains(AccessTime(columns[static_cast<std::size_t>(time)], stamp))) {
            for (int i = 0; i < definition.ColumnCount(); ++i) {
                if (i != time)
                    ReadValue(handle, definition.Column(i), values[static_cast<std::size_t>(i)]);
            }
            AppendRow(out.Buffer(), columns, values);
        }
        if (records % AliveRecords == 0)
            out.KeepAlive();
    }
    // libmdb ends the scan quietly where a page cannot be read.
    if (records != tableDef->num_rows)
        throw Exception(QStringLiteral("The file '%1' could not be read: the table '%2' ends after %3 of its %4 records.")
                            .arg(mFileName, table)
                            .arg(records)
                            .arg(tableDef->num_rows));
    AppendEmptyFrame(out.Buffer(), TAccessFrame::End);
}
