#include "spreadsheet/SheetCells.h"

#include <algorithm>

void TUsedRange::Include(const TSheetRow& row)
{
    for (const TCellRun& run : row.Cells)
        Include(row.Row, row.Repeat, run.Column, run.Column + run.Count - 1);
}

void TUsedRange::Include(int row, int repeat, int firstColumn, int lastColumn)
{
    if (IsEmpty()) {
        FirstRow = row;
        LastRow = row + repeat - 1;
        FirstColumn = firstColumn;
        LastColumn = lastColumn;
        return;
    }
    FirstRow = std::min(FirstRow, row);
    LastRow = std::max(LastRow, row + repeat - 1);
    FirstColumn = std::min(FirstColumn, firstColumn);
    LastColumn = std::max(LastColumn, lastColumn);
}

TColumnSet::TColumnSet(const std::vector<int>& columns) : mAll(false)
{
    for (int column : columns) {
        if (column < 1 || column > MaxSheetColumns)
            continue;
        if (static_cast<std::size_t>(column) >= mWanted.size())
            mWanted.resize(static_cast<std::size_t>(column) + 1);
        mWanted[static_cast<std::size_t>(column)] = true;
    }
}

void TColumnSet::Filter(const TSheetRow& row, TSheetRow& kept) const
{
    kept.Row = row.Row;
    kept.Repeat = row.Repeat;
    kept.Cells.clear();
    for (const TCellRun& run : row.Cells) {
        if (mAll) {
            kept.Cells.push_back(run);
            continue;
        }
        // A run may repeat a cell over thousands of columns: only those of
        // the set are looked at.
        const int last = std::min<long long>(static_cast<long long>(run.Column) + run.Count - 1,
                                             static_cast<long long>(mWanted.size()) - 1);
        for (int column = run.Column; column <= last; ++column) {
            if (mWanted[static_cast<std::size_t>(column)])
                kept.Cells.push_back({column, 1, run.Cell});
        }
    }
}
