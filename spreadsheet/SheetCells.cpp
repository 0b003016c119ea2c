#include "spreadsheet/SheetCells.h"

#include <algorithm>

void TUsedRange::Include(const TSheetRow& row)
{
    for (const TCellRun& run : row.Cells) {
        const int last = run.Column + run.Count - 1;
        if (IsEmpty()) {
            FirstRow = row.Row;
            LastRow = row.Row + row.Repeat - 1;
            FirstColumn = run.Column;
            LastColumn = last;
            continue;
        }
        FirstRow = std::min(FirstRow, row.Row);
        LastRow = std::max(LastRow, row.Row + row.Repeat - 1);
        FirstColumn = std::min(FirstColumn, run.Column);
        LastColumn = std::max(LastColumn, last);
    }
}
