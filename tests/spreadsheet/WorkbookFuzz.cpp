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

#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

void Put16(std::string& out, unsigned value)
{
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A zip archive holding the parts uncompressed.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& parts)
{
    std::string out;
    std::string directory;
    for (const auto& [name, content] : parts) {
        const std::uint32_t crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
        const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
        Put32(out, 0x04034b50);
        Put16(out, 20);
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, 0);
        Put32(out, crc);
        Put32(out, static_cast<std::uint32_t>(content.size()));
        Put32(out, static_cast<std::uint32_t>(content.size()));
        Put16(out, static_cast<unsigned>(name.size()));
        Put16(out, 0);
        out += name;
        out += content;
        Put32(directory, 0x02014b50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, crc);
        Put32(directory, static_cast<std::uint32_t>(content.size()));
        Put32(directory, static_cast<std::uint32_t>(content.size()));
        Put16(directory, static_cast<unsigned>(name.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, offset);
        directory += name;
    }
    const std::uint32_t directoryOffset = static_cast<std::uint32_t>(out.size());
    out += directory;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(parts.size()));
    Put16(out, static_cast<unsigned>(parts.size()));
    Put32(out, static_cast<std::uint32_t>(directory.size()));
    Put32(out, directoryOffset);
    Put16(out, 0);
    return out;
}

const char* const Rels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
const char* const WorkbookRels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";
const char* const Workbook =
    "<workbook xmlns:r=\"r\"><workbookPr date1904=\"1\"/><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/>"
    "</sheets></workbook>";
const char* const Styles =
    "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"hh:mm\"/></numFmts><cellXfs><xf numFmtId=\"0\"/>"
    "<xf numFmtId=\"164\"/><xf numFmtId=\"14\"/><xf numFmtId=\"7\"/></cellXfs></styleSheet>";
const char* const Sheet =
    "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" s=\"1\"><v>0.5</v></c><c r=\"B1\" s=\"2\"><v>45000</v></c>"
    "<c r=\"C1\" s=\"3\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>0</v></c></row></sheetData></worksheet>";

std::string Xlsx(const std::string& workbook, const std::string& styles, const std::string& sheet)
{
    return StoredZip({{"_rels/.rels", Rels},
                      {"xl/workbook.xml", workbook},
                      {"xl/_rels/workbook.xml.rels", WorkbookRels},
                      {"xl/styles.xml", styles},
                      {"xl/worksheets/sheet1.xml", sheet}});
}

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0]) {
    case 's':
        ReadXlsx(Xlsx(Workbook, Styles, rest));
        break;
    case 't':
        ReadXlsx(Xlsx(Workbook, rest, Sheet));
        break;
    case 'w':
        ReadXlsx(Xlsx(rest, Styles, Sheet));
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
