#pragma once

#include "spreadsheet/SheetCells.h"

#include <QStringList>

// Excel 97-2003 workbooks (.xls, BIFF8) through FreeXL. FreeXL keeps no
// formula results, so formula cells read as empty; it tells no number
// formats apart beyond dates and times, so there is no currency.

QStringList XlsWorksheetNames(const QString& fileName);
TUsedRange ReadXlsWorksheet(const QString& fileName, int index, const TRowSink& onRow);
