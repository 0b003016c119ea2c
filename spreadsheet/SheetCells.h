#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The kind of a cell's value, numbered as automation variants number them
// (the codes the rest of the program's rules are written against).
enum class TCellKind : std::uint8_t {
    Empty = 0,
    Double = 5,
    Currency = 6,
    Date = 7,
    Text = 8,
    Error = 10,
    Boolean = 11,
};

struct TCell {
    TCellKind Kind = TCellKind::Empty;
    // Double and Currency: the number; Date: a TDateTime; Boolean: 1 or 0;
    // otherwise 0.
    double Value = 0;
};

// Count cells side by side in a row that hold the same value, the first in
// Column (1 is column A). Count is 1 unless the file itself repeats a cell.
struct TCellRun {
    int Column;
    int Count;
    TCell Cell;
};

// The cells with a value of one row of a worksheet (Row counts from 1), or of
// Repeat rows in a row that hold the same cells. Cells are in file order.
struct TSheetRow {
    int Row = 0;
    int Repeat = 1;
    std::vector<TCellRun> Cells;
};

// The largest worksheet any of the formats holds.
constexpr int MaxSheetRows = 1048576;
constexpr int MaxSheetColumns = 16384;

// The smallest rectangle holding every cell with a value, in worksheet rows
// and columns; all 0 for a worksheet without values.
struct TUsedRange {
    int FirstRow = 0;
    int FirstColumn = 0;
    int LastRow = 0;
    int LastColumn = 0;

    bool IsEmpty() const { return FirstRow == 0; }
    int RowCount() const { return IsEmpty() ? 0 : LastRow - FirstRow + 1; }
    // Widens the range to hold the cells of a row.
    void Include(const TSheetRow& row);
    // Widens the range to hold columns first to last of rows row to row +
    // repeat - 1.
    void Include(int row, int repeat, int firstColumn, int lastColumn);
};

// The columns whose cells a read hands on (1 is column A); every column
// unless made from a list. The cells of other columns are neither typed nor
// converted, yet count in the used range.
class TColumnSet {
public:
    TColumnSet() = default;
    explicit TColumnSet(const std::vector<int>& columns);

    bool Contains(int column) const
    {
        return mAll || (column >= 0 && static_cast<std::size_t>(column) < mWanted.size() && mWanted[column]);
    }
    // The cells of row in the set, runs cut down to them.
    void Filter(const TSheetRow& row, TSheetRow& kept) const;

private:
    bool mAll = true;
    std::vector<bool> mWanted;
};

// Receives the rows of a worksheet that hold values, in file order.
using TRowSink = std::function<void(const TSheetRow& row)>;

// Hears how far a read of a worksheet has come: done of total bytes of the
// data it goes through, at least every few hundred kilobytes, whatever the
// cells hold. A total of 0 means the size is unknown.
using TReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;
