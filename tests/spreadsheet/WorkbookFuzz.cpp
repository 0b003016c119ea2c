// libFuzzer target for the .xlsx and .ods readers. The first byte of an input
// says what the rest is:
//   's' the sheet part, 't' the styles part, 'w' the workbook part of an
//       otherwise sound .xlsx package;
//   'c' the content part of an otherwise sound .ods package;
//   anything else: the whole input is the archive, read as both formats.
// Any input must either be refused with an Exception or give rows and cells
// inside a worksheet, with finite values and a used range that holds them.
#include "common/Exception.h"
#include "spreadsheet/OdsReader.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/ZipPackage.h"
#include "tests/spreadsheet/FuzzRowChecks.h"
#include "tests/spreadsheet/TestArchives.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const Sheet =
    "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" s=\"1\"><v>0.5</v></c><c r=\"B1\" s=\"2\"><v>45000</v></c>"
    "<c r=\"C1\" s=\"3\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>0</v></c></row></sheetData></worksheet>";

template <class Names, class Read>
void ReadAll(const std::string& archive, Names names, Read read)
{
    try {
        const TZipPackage package(archive.data(), archive.size());
        const int count = static_cast<int>(names(package).size());
        if (count == 0)
            return;
        std::vector<TSheetRow> rows;
        const TUsedRange used = read(
            package, 0,
            [&rows](const TSheetRow& row) {
                if (rows.size() < 100000)
                    rows.push_back(row);
            },
            TReadProgress());
        if (rows.size() < 100000)
            CheckFuzzedRows(used, rows);
    } catch (const Exception&) {
    }
}

void ReadXlsx(const std::string& archive)
{
    ReadAll(archive, XlsxWorksheetNames,
            [](const TZipPackage& package, int index, const TRowSink& onRow, const TReadProgress& onProgress) {
                return ReadXlsxWorksheet(package, index, onRow, onProgress);
            });
}

void ReadOds(const std::string& archive)
{
    ReadAll(archive, OdsWorksheetNames, ReadOdsWorksheet);
}

// A sheet read in blocks gives what one parse of it gives: a US-ASCII part
// is never split. Only for sheets of ASCII alone and without a declaration
// of their own, and not for one that begins with "<" and a zero byte, which
// expat reads as UTF-16 without a declaration, and as US-ASCII with one.
void CompareSplitRead(const std::string& sheet)
{
    if (sheet.empty() || sheet[0] != '<' || (sheet.size() > 1 && sheet[1] == '\0') || sheet.compare(0, 5, "<?xml") == 0
        || std::any_of(sheet.begin(), sheet.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return;
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>";
    const std::string split = XlsxSheetOutcome(sheet);
    const std::string whole = XlsxSheetOutcome(declaration + sheet);
    if (split != whole) {
        std::fprintf(stderr, "read in blocks:\n%s\nread in one:\n%s\n", split.c_str(), whole.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0]) {
    case 's':
        ReadXlsx(XlsxArchive(rest));
        CompareSplitRead(rest);
        break;
    case 't':
        ReadXlsx(XlsxArchive(Sheet, XlsxWorkbookPart, rest));
        break;
    case 'w':
        ReadXlsx(XlsxArchive(Sheet, rest));
        break;
    case 'c':
        ReadOds(StoredZip({{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", rest}}));
        break;
    default: {
        const std::string archive(reinterpret_cast<const char*>(data), size);
        ReadXlsx(archive);
        ReadOds(archive);
    }
    }
    return 0;
}
