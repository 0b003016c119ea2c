#include "tests/spreadsheet/FuzzRowChecks.h"

#include <cmath>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

void CheckFuzzedRows(const TUsedRange& used, const std::vector<TSheetRow>& rows)
{
    TUsedRange expected;
    for (const TSheetRow& row : rows) {
        Check(row.Row >= 1 && row.Repeat >= 1 && row.Row + (row.Repeat - 1) <= MaxSheetRows);
        Check(!row.Cells.empty());
        for (const TCellRun& run : row.Cells) {
            Check(run.Column >= 1 && run.Count >= 1 && run.Column + (run.Count - 1) <= MaxSheetColumns);
            Check(std::isfinite(run.Cell.Value) && run.Cell.Kind != TCellKind::Empty);
        }
        expected.Include(row);
    }
    Check(used.FirstRow == expected.FirstRow && used.LastRow == expected.LastRow);
    Check(used.FirstColumn == expected.FirstColumn && used.LastColumn == expected.LastColumn);
}
