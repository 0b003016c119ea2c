// libFuzzer target for the reading of Access files, through the reader
// process: the input is written to a file and connected, and every table's
// columns are listed and its records read. libmdb may crash, loop or run out
// of memory inside the reader; that is no finding. A finding is this side
// crashing, hanging beyond the reader's silence limit, or an error of another
// kind than Exception.
#include "common/Exception.h"
#include "database/AccessDatabase.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>

namespace {

// Short, so that a reader that loops on an input costs the fuzzer little.
constexpr int SilenceLimitMs = 2000;

void ReadAll(const QString& fileName)
{
    TAccessDatabase database(fileName, SilenceLimitMs);
    for (const QString& table : database.Tables()) {
        const QStringList columns = database.Columns(table);
        if (columns.isEmpty())
            continue;
        const auto rows = database.Select(table, columns.first(), -1e7, 1e7);
        while (rows->Next()) {
            for (int field = 0; field < columns.size(); ++field) {
                try {
                    rows->NumberValue(field);
                } catch (const Exception&) {
                }
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("input.accdb"));
    std::FILE* file = std::fopen(fileName.toLocal8Bit().constData(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    try {
        ReadAll(fileName);
    } catch (const Exception&) {
    }
    return 0;
}
