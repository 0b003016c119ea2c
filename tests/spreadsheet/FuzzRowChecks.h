#pragma once

#include "spreadsheet/SheetCells.h"

#include <vector>

// What the workbook fuzz targets demand of any rows a reader gives: rows and
// cells inside a worksheet, with finite values, and a used range that holds
// exactly them. Aborts the process otherwise.
void CheckFuzzedRows(const TUsedRange& used, const std::vector<TSheetRow>& rows);
