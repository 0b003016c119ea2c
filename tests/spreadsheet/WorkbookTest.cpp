#include "bench/ResidentMemory.h"
#include "common/DateTime.h"
#include "common/Exception.h"
#include "spreadsheet/Workbook.h"
#include "tests/support/TestWorkbooks.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

TDateTime Day(int year, int month, int day)
{
    return EncodeDate(QDate(year, month, day));
}

TDateTime Time(int h, int m, int s = 0)
{
    return (h * 3600.0 + m * 60.0 + s) / SecondsPerDay;
}

// A cell as read: its run's count and its row's repeat with it.
struct TReadCell {
    TCell Cell;
    int Count = 1;
    int Repeat = 1;
};
using TCells = std::map<std::pair<int, int>, TReadCell>;

TCells ReadCells(const QString& name, int sheet, TUsedRange* used = nullptr)
{
    TCells cells;
    const TUsedRange range = ReadWorksheet(TestWorkbook(name), sheet, [&](const TSheetRow& row) {
        for (const TCellRun& run : row.Cells)
            cells[{row.Row, run.Column}] = {run.Cell, run.Count, row.Repeat};
    });
    if (used)
        *used = range;
    return cells;
}

struct TExpected {
    int Row;
    int Column;
    TCellKind Kind;
    double Value = 0;
};

void ExpectCells(const TCells& cells, const std::vector<TExpected>& expected)
{
    for (const TExpected& one : expected) {
        const auto found = cells.find({one.Row, one.Column});
        if (found == cells.end()) {
            ADD_FAILURE() << "no cell at row " << one.Row << ", column " << one.Column;
            continue;
        }
        EXPECT_EQ(found->second.Cell.Kind, one.Kind) << "row " << one.Row << ", column " << one.Column;
        EXPECT_NEAR(found->second.Cell.Value, one.Value, 1e-9) << "row " << one.Row << ", column " << one.Column;
    }
}

void ExpectRange(const TUsedRange& used, int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    EXPECT_EQ(used.FirstRow, firstRow);
    EXPECT_EQ(used.FirstColumn, firstColumn);
    EXPECT_EQ(used.LastRow, lastRow);
    EXPECT_EQ(used.LastColumn, lastColumn);
    EXPECT_EQ(used.RowCount(), lastRow - firstRow + 1);
}

using K = TCellKind;

} // namespace

TEST(Workbook, ListsTheWorksheetsInWorkbookOrderInEveryFormat)
{
    const QStringList expected = {"Notes", QStringLiteral("Messwerte \u00c4"), "Leer"};
    for (const char* name : {"load.xlsx", "load.ods", "load.xls"})
        EXPECT_EQ(WorksheetNames(TestWorkbook(name)), expected) << name;
    // A chart sheet is no worksheet; a hidden one is.
    EXPECT_EQ(WorksheetNames(TestWorkbook("kinds.xls")), QStringList({"Kinds", "Hidden"}));
}

TEST(Workbook, TypesCellsByTheirNumberFormatsAndTypesInXlsxAndXls)
{
    for (const char* name : {"kinds.xlsx", "kinds.xls"}) {
        SCOPED_TRACE(name);
        TUsedRange used;
        const TCells cells = ReadCells(name, 0, &used);
        ExpectCells(cells, {
                           {1, 2, K::Date, Day(2024, 3, 1) + Time(8, 0)},
                           {2, 2, K::Date, Time(8, 30)},
                           {3, 2, K::Date, Day(2024, 3, 1)},
                           {4, 2, K::Double, 0.5},
                           {5, 2, K::Currency, 12.5},
                           {6, 2, K::Currency, 12.5},
                           {7, 2, K::Text},
                           {8, 2, K::Boolean, 1},
                           {9, 2, K::Error},
                           {10, 2, K::Date, Day(1900, 1, 1) + 0.25},
                           {11, 2, K::Double, 0.25},
                           {12, 2, K::Double, 7},
                           {13, 2, K::Double, 3},
                           {14, 2, K::Date, Day(2024, 3, 1) + Time(20, 15)},
                           {1, 1, K::Text},
                           {5, 1, K::Text},
                       });
        // The formatted cell without a value (D16) is no part of the used range.
        ExpectRange(used, 1, 1, 14, 2);
        EXPECT_EQ(cells.size(), 28u);
    }
}

TEST(Workbook, FormulasGiveTheirStoredResultsAndInlineStringsAreText)
{
    for (const char* name : {"formulas.xlsx", "formulas.xls"}) {
        SCOPED_TRACE(name);
        const TCells cells = ReadCells(name, 0);
        ExpectCells(cells, {
                               {1, 1, K::Text},
                               {2, 1, K::Double, 2},
                               {3, 1, K::Text},
                               {4, 1, K::Boolean, 1},
                               {5, 1, K::Error},
                               {6, 1, K::Date, 45352.5},
                           });
        // A formula without a stored result has no value.
        EXPECT_EQ(cells.size(), 6u);
    }
}

TEST(Workbook, DatesOfThe1904SystemBecomeTheSameDays)
{
    for (const char* name : {"date1904.xlsx", "date1904.xls"}) {
        SCOPED_TRACE(name);
        ExpectCells(ReadCells(name, 0), {
                                            {1, 1, K::Date, Day(2024, 3, 1) + Time(8, 0)},
                                            {2, 1, K::Date, Time(8, 30)},
                                            {3, 1, K::Date, Day(1904, 1, 1)},
                                        });
    }
}

TEST(Workbook, TheUsedRangeStartsAtItsFirstValue)
{
    TUsedRange used;
    const TCells cells = ReadCells("range.xlsx", 0, &used);
    ExpectRange(used, 3, 2, 5, 4);
    ExpectCells(cells, {{3, 2, K::Text}, {4, 2, K::Date, Time(8, 0, 1)}, {5, 4, K::Double, 3}});
}

TEST(Workbook, TypesOdsCellsByTheirValueTypesAndCountsRepeatsWithoutExpanding)
{
    TUsedRange used;
    const TCells cells = ReadCells("kinds.ods", 0, &used);
    ExpectCells(cells, {
                           {1, 2, K::Double, 0.5},
                           {2, 2, K::Double, 0.25},
                           {3, 2, K::Currency, 12.5},
                           {4, 2, K::Date, Day(2024, 3, 1) + Time(8, 0)},
                           {5, 2, K::Date, Day(2024, 3, 1)},
                           {6, 2, K::Date, Time(8, 30)},
                           {7, 2, K::Boolean, 1},
                           {8, 2, K::Text},
                           {9, 2, K::Error},
                           {10, 2, K::Double, 7},
                           {11, 2, K::Double, 8},
                       });
    EXPECT_EQ(cells.at({10, 2}).Count, 3);
    EXPECT_EQ(cells.at({11, 2}).Repeat, 2);
    EXPECT_EQ(cells.size(), 11u);
    // The million empty rows after the last value count for nothing.
    ExpectRange(used, 1, 2, 12, 4);
}

TEST(Workbook, XlsNumbersComeFromEveryKindOfNumberRecord)
{
    // Whole and hundredth RK numbers, an RK double, a MULRK run; blank
    // cells and the cells of a chart drawn on the sheet add nothing.
    TUsedRange used;
    const TCells numbers = ReadCells("cells.xls", 0, &used);
    ExpectCells(numbers, {
                             {1, 1, K::Double, 1234},
                             {2, 1, K::Double, 12.34},
                             {3, 1, K::Double, 0.5},
                             {4, 2, K::Double, 1},
                             {4, 3, K::Double, 2},
                             {4, 4, K::Double, -3},
                         });
    EXPECT_EQ(numbers.size(), 6u);
    ExpectRange(used, 1, 1, 4, 4);

    // Times keep their milliseconds.
    ExpectCells(ReadCells("cells.xls", 1), {{6, 1, K::Date, Time(8, 0, 10) + 0.01 / SecondsPerDay}});
}

TEST(Workbook, XlsCellsWrittenByXlwtWithAFormulaWithoutResult)
{
    const TCells cells = ReadCells("load.xls", 1);
    ExpectCells(cells, {
                           {1, 1, K::Text},
                           {3, 1, K::Date, Time(8, 0)},
                           {3, 2, K::Double, 1},
                           {5, 1, K::Double, Time(8, 0, 6)},
                           {6, 1, K::Date, Day(2024, 3, 1) + Time(8, 0, 7)},
                           {9, 1, K::Text},
                       });
    EXPECT_EQ(cells.count({3, 5}), 0u);
}

TEST(Workbook, AValueLongerThanAnyNumberIsTextAndIsNotHeldWhole)
{
    // B1 holds 100,000 digits, which make no finite number.
    ExpectCells(ReadCells("longcell.xlsx", 0), {{1, 2, K::Text}, {2, 2, K::Double, 2}});

    // 60 MB of digits in one cell.
    const QString huge = TestWorkbook("hugecell.xlsx");
    ResetPeakResidentBytes();
    const std::int64_t before = PeakResidentBytes();
    TCells cells;
    std::vector<std::uint64_t> progress;
    ReadWorksheet(
        huge, 0,
        [&](const TSheetRow& row) {
            for (const TCellRun& run : row.Cells)
                cells[{row.Row, run.Column}] = {run.Cell};
        },
        [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, (60u << 20) + 259u);
            progress.push_back(done);
        });
    EXPECT_LT(PeakResidentBytes() - before, 24 << 20);
    ExpectCells(cells, {{1, 2, K::Text}, {2, 2, K::Double, 2}});
    // The progress goes on while the cell is read.
    EXPECT_GT(progress.size(), 100u);
}

TEST(Workbook, DamagedAndHostileFilesEndWithAnErrorNamingTheFile)
{
    struct Case {
        QString Name;
        int Sheet;
        QString Reason;
    };
    const std::vector<Case> cases = {
        {"truncated.xlsx", 0, "The zip archive is damaged or no workbook"},
        {"corrupt.xlsx", 1, "damaged"},
        {"bomb.xlsx", 0, "The part \"xl/worksheets/sheet1.xml\" inflates to more than 64 MB"},
        {"entities.xlsx", 0, "The part \"xl/worksheets/sheet1.xml\" declares a document type"},
        {"column.xlsx", 0, "The cell reference \"XFE1\" lies outside a worksheet"},
        {"row.xlsx", 0, "The row number \"1048577\" lies outside a worksheet"},
        {"malformed.xlsx", 0, "The part \"xl/worksheets/sheet1.xml\" is damaged: mismatched tag at line 1"},
        {"rows.ods", 0, "Values lie beyond row 1048576"},
        {"text.xlsx", 0, "It is no Excel or OpenDocument workbook."},
        {"missing.xlsx", 0, "No such file or directory."},
        {"load.xlsx", 3, "The workbook has no worksheet number 4."},
        {"load.ods", 3, "The workbook has no worksheet number 4."},
        {"load.xls", 3, "The workbook has no worksheet number 4."},
        {"truncated.xls", 0, "runs past the end of the workbook stream"},
        {"length.xls", 0, "runs past the end of the workbook stream"},
        {"sst.xls", 0, "The cell in column 1 of row 1 refers to shared string 14 of 14."},
        {"cutsst.xls", 0, "The shared strings of the workbook end inside a string."},
        {"biff5.xls", 0, "older than Excel 97"},
        {"encrypted.xls", 0, "protected by a password"},
        {"infinity.xls", 0, "The cell in column 2 of row 1 holds no valid number."},
        {"cut.xls", 0, "The compound file is damaged or no workbook"},
    };
    for (const Case& test : cases) {
        const QString fileName = TestWorkbook(test.Name);
        int rows = 0;
        try {
            ReadWorksheet(fileName, test.Sheet, [&rows](const TSheetRow&) { ++rows; });
            ADD_FAILURE() << test.Name.toStdString() << " was read";
        } catch (const Exception& error) {
            const QString prefix = "Cannot read the workbook \"" + fileName + "\". ";
            EXPECT_TRUE(error.Message().startsWith(prefix)) << error.what();
            EXPECT_TRUE(error.Message().contains(test.Reason)) << error.what();
        }
        EXPECT_EQ(rows, 0) << test.Name.toStdString();
    }
}

TEST(Workbook, AReadOfSomeColumnsGivesTheirCellsAloneAndTheWholeUsedRange)
{
    struct Case {
        const char* Name;
        int Sheet;
        std::vector<int> Columns;
    };
    // kinds.ods repeats a cell over columns B to D in row 10: a column set
    // takes single cells out of such a run.
    const std::vector<Case> cases = {
        {"kinds.xlsx", 0, {2}},       {"kinds.xls", 0, {2}},       {"kinds.ods", 0, {3}},
        {"kinds.ods", 0, {2, 4, 9}},  {"load.xlsx", 1, {1, 3}},    {"load.ods", 1, {1, 3}},
        {"load.xls", 1, {1, 3}},      {"range.xlsx", 0, {5, 40}},  {"formulas.xlsx", 0, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.Name);
        TUsedRange whole;
        const TCells all = ReadCells(test.Name, test.Sheet, &whole);
        TCells kept;
        const TUsedRange used = ReadWorksheet(
            TestWorkbook(test.Name), test.Sheet,
            [&](const TSheetRow& row) {
                EXPECT_FALSE(row.Cells.empty());
                for (const TCellRun& run : row.Cells)
                    kept[{row.Row, run.Column}] = {run.Cell, run.Count, row.Repeat};
            },
            {}, TColumnSet(test.Columns));
        ExpectRange(used, whole.FirstRow, whole.FirstColumn, whole.LastRow, whole.LastColumn);
        // Every cell of the columns, as a read of all gives it, and no other.
        TCells expected;
        for (const auto& [place, cell] : all) {
            for (int column : test.Columns) {
                if (column >= place.second && column < place.second + cell.Count)
                    expected[{place.first, column}] = {cell.Cell, 1, cell.Repeat};
            }
        }
        EXPECT_EQ(kept.size(), expected.size());
        for (const auto& [place, cell] : expected) {
            const auto found = kept.find(place);
            if (found == kept.end()) {
                ADD_FAILURE() << "no cell at row " << place.first << ", column " << place.second;
                continue;
            }
            EXPECT_EQ(found->second.Cell.Kind, cell.Cell.Kind);
            EXPECT_EQ(found->second.Cell.Value, cell.Cell.Value);
            EXPECT_EQ(found->second.Count, 1);
            EXPECT_EQ(found->second.Repeat, cell.Repeat);
        }
    }
}
