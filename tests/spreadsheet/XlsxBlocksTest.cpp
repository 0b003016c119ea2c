// The rows of an .xlsx sheet are parsed in blocks on several threads: what a
// read gives, rows, used range and errors, must be what one parse of the
// part gives. A part declared US-ASCII is never split, so the same rows
// behind such a declaration are the reference.
#include "common/Exception.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/ZipPackage.h"
#include "tests/spreadsheet/TestArchives.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const char* const Utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const char* const Ascii = "<?xml version=\"1.0\" encoding=\"US-ASCII\"?>";

// count rows from row 1, each made by row(number), inside sheetData.
std::string Rows(int count, const std::function<std::string(int)>& row)
{
    std::string rows;
    for (int number = 1; number <= count; ++number)
        rows += row(number);
    return rows;
}

std::string Plain(int n)
{
    const std::string r = std::to_string(n);
    return "<row r=\"" + r + "\"><c r=\"A" + r + "\" s=\"2\"><v>" + std::to_string(40000 + n) + "</v></c><c r=\"B" + r
           + "\"><v>" + r + ".25</v></c><c r=\"D" + r + "\" t=\"s\"><v>3</v></c></row>\n";
}

std::string Sheet(const std::string& rows)
{
    return "<worksheet xmlns=\"main\"><dimension ref=\"A1\"/>\n<sheetData>" + rows + "</sheetData></worksheet>";
}

} // namespace

TEST(XlsxBlocks, ReadsAsOneParseOfThePartDoes)
{
    struct Case {
        const char* What;
        std::string Sheet;
        // Part of what the reference read gives, to show the case is what it
        // says.
        std::string Shows;
    };
    const std::vector<Case> cases = {
        {"plain rows", Sheet(Rows(150, Plain)), "150: 1=7/"},
        {"rows without numbers", Sheet(Rows(150, [](int n) {
             return "<row><c><v>" + std::to_string(n) + "</v></c><c r=\"C1\"><v>1</v></c></row>";
         })),
         "150: 1=5/150 3=5/1"},
        {"some rows without numbers", Sheet(Rows(150, [](int n) {
             return n % 7 == 0 ? "<row r=\"" + std::to_string(3 * n) + "\"><c r=\"A1\"><v>1</v></c></row>"
                               : "<row><c r=\"B1\"><v>2</v></c></row>";
         })),
         "444: 2=5/2"},
        {"end tags of rows in comments, instructions and character data", Sheet(Rows(150, [](int n) {
             return Plain(n) + (n % 3 ? "<!-- </row> -->" : "<?pi </row>?>")
                    + "<row r=\"" + std::to_string(n + 1000) + "\"><c r=\"A1\" t=\"inlineStr\"><is><t><![CDATA[</row>"
                    + "]]></t></is></c></row>";
         })),
         "1150: 1=8/0"},
        {"prefixed names", "<x:worksheet xmlns:x=\"main\"><x:sheetData>"
                               + Rows(150, [](int n) {
                                     return "<x:row r=\"" + std::to_string(n) + "\"><x:c r=\"B1\"><x:v>" + std::to_string(n)
                                            + "</x:v></x:c></x:row>";
                                 })
                               + "</x:sheetData></x:worksheet>",
         "150: 2=5/150"},
        {"end tags with space", Sheet(Rows(150, [](int n) {
             return "<row r=\"" + std::to_string(n) + "\"><c r=\"B1\"><v>1</v></c></row >";
         })),
         "150: 2=5/1"},
        {"one long row", Sheet("<row r=\"2\">" + Rows(3000, [](int n) {
                                   return "<c r=\"" + std::string(1, char('A' + n % 20)) + "2\"><v>" + std::to_string(n)
                                          + "</v></c>";
                               }) + "</row>"),
         "2: 2=5/1"},
        {"a mismatched tag late in the part", Sheet(Rows(150, [](int n) {
             return n == 140 ? std::string("<row r=\"140\"><c><v>1</c></row>\n") : Plain(n);
         })),
         "error The part \"xl/worksheets/sheet1.xml\" is damaged: mismatched tag at line 141"},
        {"lines ending in CR LF and CR", "<worksheet>\r\n<sheetData>" + Rows(150, [](int n) {
             return n == 120 ? std::string("<row r=\"120\"><c><v>1</c></row>") : Plain(n) + (n % 2 ? "\r" : "\r\n");
         }) + "</sheetData></worksheet>",
         "mismatched tag at line 240"},
        {"a part that ends inside the sheet's rows", Sheet(Rows(150, Plain)).substr(0, 5000), "error"},
        {"a part that ends after a row", Sheet(Rows(150, Plain)).substr(0, Sheet(Rows(150, Plain)).rfind("</row>") + 6),
         "no element found"},
        {"a number that is none late in the part", Sheet(Rows(150, [](int n) {
             return n == 130 ? std::string("<row r=\"130\"><c r=\"B130\"><v>1x</v></c></row>") : Plain(n);
         })),
         "The cell in column 2 of row 130 holds no valid number"},
        {"a row number past the last row", Sheet(Rows(150, Plain) + "<row r=\"1048576\"/><row><c><v>1</v></c></row>"),
         "The row number \"1048577\" lies outside a worksheet"},
        {"rows nested in rows", Sheet(Rows(150, [](int n) {
             return "<row r=\"" + std::to_string(2 * n) + "\"><c r=\"A1\"><v>1</v><row><c><v>2</v></c></row></c></row>";
         })),
         "301: 1=5/2"},
        {"a sheetData element nested in a row", Sheet(Rows(60, Plain) + "<row r=\"99\"><c><sheetData>" + Rows(60, Plain)
                                                      + "</sheetData><v>5</v></c></row>" + Rows(60, Plain)),
         "60: 1=7/"},
        {"an empty sheetData element", "<worksheet><sheetData/>" + Rows(60, Plain) + "</worksheet>", "range 0 0 0 0"},
        {"nothing but garbage after the rows", Sheet(Rows(150, Plain)) + "<x>" + std::string(3000, '<'), "150: 1=7/"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.What);
        const std::string reference = XlsxSheetOutcome(Ascii + test.Sheet);
        EXPECT_NE(reference.find(test.Shows), std::string::npos) << reference.substr(reference.size() - std::min<std::size_t>(reference.size(), 300));
        EXPECT_EQ(XlsxSheetOutcome(Utf8 + test.Sheet), reference);
        EXPECT_EQ(XlsxSheetOutcome(test.Sheet), reference);
        EXPECT_EQ(XlsxSheetOutcome(Utf8 + test.Sheet, TColumnSet({2})), XlsxSheetOutcome(Ascii + test.Sheet, TColumnSet({2})));
    }
}

TEST(XlsxBlocks, AnErrorOfTheReaderEndsTheReadAtItsRow)
{
    const std::string archive = XlsxArchive(Sheet(Rows(3000, Plain)));
    const TZipPackage package(archive.data(), archive.size());
    int rows = 0;
    try {
        ReadXlsxWorksheet(package, 0, [&rows](const TSheetRow& row) {
            ++rows;
            if (row.Row == 2000)
                throw Exception(QStringLiteral("stop"));
        });
        ADD_FAILURE() << "the read went on";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "stop");
    }
    EXPECT_EQ(rows, 2000);
}
