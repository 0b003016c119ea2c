#include "tests/spreadsheet/TestArchives.h"

#include "common/Exception.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/ZipPackage.h"

#include <zlib.h>

#include <cstdint>
#include <sstream>

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

const char* const Rels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
const char* const WorkbookRels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"x/styles\" Target=\"styles.xml\"/></Relationships>";

} // namespace

const char* const XlsxWorkbookPart =
    "<workbook xmlns:r=\"r\"><workbookPr date1904=\"1\"/><sheets><sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/>"
    "</sheets></workbook>";
const char* const XlsxStylesPart =
    "<styleSheet><numFmts><numFmt numFmtId=\"164\" formatCode=\"hh:mm\"/></numFmts><cellXfs><xf numFmtId=\"0\"/>"
    "<xf numFmtId=\"164\"/><xf numFmtId=\"14\"/><xf numFmtId=\"7\"/></cellXfs></styleSheet>";

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

std::string XlsxArchive(const std::string& sheet, const std::string& workbook, const std::string& styles)
{
    return StoredZip({{"_rels/.rels", Rels},
                      {"xl/workbook.xml", workbook},
                      {"xl/_rels/workbook.xml.rels", WorkbookRels},
                      {"xl/styles.xml", styles},
                      {"xl/worksheets/sheet1.xml", sheet}});
}

std::string XlsxSheetOutcome(const std::string& sheet, const TColumnSet& columns)
{
    const std::string archive = XlsxArchive(sheet);
    std::ostringstream out;
    try {
        const TZipPackage package(archive.data(), archive.size());
        const TUsedRange used = ReadXlsxWorksheet(
            package, 0,
            [&out](const TSheetRow& row) {
                out << row.Row << ':';
                for (const TCellRun& run : row.Cells)
                    out << ' ' << run.Column << '=' << int(run.Cell.Kind) << '/' << run.Cell.Value;
                out << '\n';
            },
            {}, columns);
        out << "range " << used.FirstRow << ' ' << used.FirstColumn << ' ' << used.LastRow << ' ' << used.LastColumn;
    } catch (const Exception& error) {
        out << "error " << error.what();
    }
    return out.str();
}
