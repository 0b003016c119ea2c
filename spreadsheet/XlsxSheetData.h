#pragma once

#include "spreadsheet/NumberFormats.h"
#include "spreadsheet/SheetCells.h"

#include <QByteArray>

#include <vector>

class TZipPackage;

// Streams the rows of the worksheet part (see ReadXlsxWorksheet) to onRow and
// returns its used range. formats holds the number format kind of each cell
// format of the styles part, by index. The rows are parsed in blocks on
// several threads; onRow and onProgress hear them on the calling thread, in
// order.
TUsedRange ReadXlsxSheetData(const TZipPackage& package, const QByteArray& part,
                             const std::vector<TNumberFormatKind>& formats, bool date1904, const TColumnSet& columns,
                             const TRowSink& onRow, const TReadProgress& onProgress);
