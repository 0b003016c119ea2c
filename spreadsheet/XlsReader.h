#pragma once

#include "spreadsheet/SheetCells.h"

#include <QStringList>

// Excel 97-2003 workbooks (.xls, BIFF8): the workbook stream of the compound
// file, read by XlsWorkbook.

QStringList XlsWorksheetNames(const QString& fileName);
TUsedRange ReadXlsWorksheet(const QString& fileName, int index, const TRowSink& onRow,
                            const TReadProgress& onProgress = {});
