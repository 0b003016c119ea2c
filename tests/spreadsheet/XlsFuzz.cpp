// libFuzzer target for the .xls reader. The first byte of an input says what
// the rest is:
//   's' a workbook stream, read as it is;
//   anything else: the whole input is the compound file.
// Every worksheet of the stream is read. Any input must either be refused
// with an Exception or give rows and cells inside a worksheet, with finite
// values and a used range that holds them.
#include "common/Exception.h"
#include "spreadsheet/XlsCompoundFile.h"
#include "spreadsheet/XlsWorkbook.h"
#include "tests/spreadsheet/FuzzRowChecks.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace {

void ReadStream(std::string_view stream)
{
    try {
        const int count = static_cast<int>(XlsStreamWorksheetNames(stream).size());
        for (int index = 0; index < count; ++index) {
            std::vector<TSheetRow> rows;
            const TUsedRange used = ReadXlsStreamWorksheet(stream, index, [&rows](const TSheetRow& row) {
                if (rows.size() < 100000)
                    rows.push_back(row);
            });
            if (rows.size() < 100000)
                CheckFuzzedRows(used, rows);
        }
    } catch (const Exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    if (data[0] == 's') {
        ReadStream(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
        return 0;
    }
    try {
        const QByteArray stream = ReadXlsWorkbookStream(data, size);
        ReadStream(std::string_view(stream.constData(), static_cast<std::size_t>(stream.size())));
    } catch (const Exception&) {
    }
    return 0;
}
