// plotreel-access-reader: reads an Access file (.mdb, .accdb) with libmdb for
// the program, which starts it, and writes what it read to standard output
// in frames (database/ReaderFrames.h). libmdb is old C code that a damaged
// file can crash or send into an endless loop; here that ends this process
// only, within limits of memory and processor time, and the program reports
// it.
//
//   plotreel-access-reader tables FILE
//   plotreel-access-reader columns FILE TABLE
//   plotreel-access-reader rows FILE TABLE
#include "database/ReaderFrames.h"

#include <mdbtools.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

// Not in libmdb's header, but exported: the text of a Decimal value.
extern "C" char* mdb_numeric_to_string(MdbHandle* mdb, int start, int scale, int prec);

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLOTREEL_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PLOTREEL_SANITIZED 1
#endif

namespace {

// Frames gather here and go out in large writes.
std::string gOutput;

void WriteOut()
{
    std::size_t done = 0;
    while (done < gOutput.size()) {
        const ssize_t written = write(STDOUT_FILENO, gOutput.data() + done, gOutput.size() - done);
        if (written <= 0)
            _exit(3);
        done += static_cast<std::size_t>(written);
    }
    gOutput.clear();
}

void Send(TReaderFrame kind, std::string_view payload)
{
    AppendFrame(gOutput, kind, payload);
    if (gOutput.size() >= 65536)
        WriteOut();
}

[[noreturn]] void Finish(int status)
{
    WriteOut();
    // No exit handlers: libmdb's leftovers are the system's to free.
    _exit(status);
}

struct TFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void SetLimits()
{
#ifndef PLOTREEL_SANITIZED
    // The address sanitizer reserves far more address space than this.
    const rlimit memory{rlim_t(1) << 30, rlim_t(1) << 30};
    setrlimit(RLIMIT_AS, &memory);
#endif
    const rlimit processor{600, 600};
    setrlimit(RLIMIT_CPU, &processor);
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CORE, &core);
}

MdbHandle* Open(const char* fileName)
{
    MdbHandle* handle = mdb_open(fileName, MDB_NOFLAGS);
    if (!handle || !mdb_read_catalog(handle, MDB_TABLE))
        throw TFailure(std::string("Unrecognized database format '") + fileName + "'.");
    return handle;
}

MdbTableDef* ReadTable(MdbHandle* handle, const char* name)
{
    MdbTableDef* table = mdb_read_table_by_name(handle, const_cast<char*>(name), MDB_TABLE);
    if (!table)
        throw TFailure(std::string("The table '") + name + "' does not exist.");
    if (!mdb_read_columns(table) || !table->columns || table->columns->len != table->num_cols)
        throw TFailure(std::string("The columns of the table '") + name + "' cannot be read: the file is damaged.");
    return table;
}

MdbColumn* Column(MdbTableDef* table, unsigned int index)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(table->columns, index));
}

void SendTables(MdbHandle* handle)
{
    GPtrArray* catalog = handle->catalog;
    for (guint i = 0; catalog && i < catalog->len; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            Send(TReaderFrame::Name, entry->object_name);
    }
}

void SendColumns(MdbTableDef* table)
{
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        const MdbColumn* column = Column(table, i);
        std::string payload(1, static_cast<char>(column->col_type));
        payload += column->name;
        Send(TReaderFrame::Name, payload);
    }
}

void AppendValue(std::string& row, MdbHandle* handle, const MdbColumn* column)
{
    if (column->col_type != MDB_BOOL && column->cur_value_len == 0) {
        AppendTag(row, TReaderValue::Null);
        return;
    }
    void* page = handle->pg_buf;
    const int start = column->cur_value_start;
    switch (column->col_type) {
    case MDB_BYTE:
        AppendNumber(row, mdb_get_byte(page, start));
        return;
    case MDB_INT:
        AppendNumber(row, static_cast<gint16>(mdb_get_int16(page, start)));
        return;
    case MDB_LONGINT:
        AppendNumber(row, static_cast<gint32>(mdb_get_int32(page, start)));
        return;
    case MDB_FLOAT:
        AppendNumber(row, mdb_get_single(page, start));
        return;
    case MDB_DOUBLE:
    case MDB_DATETIME:
        AppendNumber(row, mdb_get_double(page, start));
        return;
    case MDB_MONEY: {
        // A 64-bit count of ten-thousandths, little-endian.
        const auto* bytes = static_cast<const unsigned char*>(page) + start;
        std::uint64_t count = 0;
        for (int i = 7; i >= 0; --i)
            count = (count << 8) | bytes[i];
        AppendNumber(row, static_cast<double>(static_cast<std::int64_t>(count)) / 10000.0);
        return;
    }
    case MDB_NUMERIC: {
        char* text = mdb_numeric_to_string(handle, start, column->col_scale, column->col_prec);
        AppendText(row, text ? text : "");
        g_free(text);
        return;
    }
    case MDB_TEXT:
    case MDB_MEMO: {
        char* text = mdb_col_to_string(handle, page, start, column->col_type, column->cur_value_len);
        AppendText(row, text ? text : "");
        g_free(text);
        return;
    }
    default:
        AppendTag(row, TReaderValue::Other);
    }
}

void SendRows(MdbHandle* handle, MdbTableDef* table, const char* name)
{
    SendColumns(table);
    mdb_rewind_table(table);
    // A test's way to stand for a reader that dies part way.
    const char* stopAfter = std::getenv("PLOTREEL_ACCESS_READER_DIES_AFTER");
    const long dieAfter = stopAfter ? std::strtol(stopAfter, nullptr, 10) : -1;
    unsigned long count = 0;
    std::string row;
    while (mdb_fetch_row(table)) {
        if (static_cast<long>(count) == dieAfter) {
            WriteOut();
            raise(SIGKILL);
        }
        ++count;
        row.clear();
        for (unsigned int i = 0; i < table->num_cols; ++i)
            AppendValue(row, handle, Column(table, i));
        Send(TReaderFrame::Row, row);
    }
    // libmdb ends a table where a page cannot be read as if the table ended
    // there.
    if (count < table->num_rows)
        throw TFailure("The table '" + std::string(name) + "' ends after " + std::to_string(count) + " of its "
                       + std::to_string(table->num_rows) + " records: the file is damaged or cut short.");
}

} // namespace

int main(int argc, char** argv)
{
    SetLimits();
    const std::string command = argc > 1 ? argv[1] : "";
    const bool needsTable = command == "columns" || command == "rows";
    if ((command != "tables" && !needsTable) || argc != (needsTable ? 4 : 3)) {
        Send(TReaderFrame::Error, "usage: plotreel-access-reader tables FILE | columns FILE TABLE | rows FILE TABLE");
        Finish(2);
    }
    try {
        MdbHandle* handle = Open(argv[2]);
        if (command == "tables") {
            SendTables(handle);
        } else {
            MdbTableDef* table = ReadTable(handle, argv[3]);
            if (command == "columns")
                SendColumns(table);
            else
                SendRows(handle, table, argv[3]);
        }
    } catch (const TFailure& failure) {
        Send(TReaderFrame::Error, failure.what());
        Finish(1);
    }
    Send(TReaderFrame::Done, {});
    Finish(0);
}
