#pragma once

#include "spreadsheet/SheetCells.h"

#include <QStringList>

class TZipPackage;

// Office Open XML workbooks (.xlsx, .xlsm): the package's relationships lead
// to the workbook part, its worksheets and its styles.

// The names of the worksheets in workbook order (chart sheets are left out).
QStringList XlsxWorksheetNames(const TZipPackage& package);

// Streams the rows of worksheet index (from 0) to onRow and returns the used
// range. A number is a Double, Date or Currency by its cell's number format;
// shared, inline and formula strings are Text; a formula gives the result
// stored with it, a cell without a stored value is empty. A value longer than
// any number is Text, whatever its type says, and is not held whole. Only
// the cells of columns go to onRow; the text of the others is not collected.
TUsedRange ReadXlsxWorksheet(const TZipPackage& package, int index, const TRowSink& onRow,
                             const TReadProgress& onProgress = {}, const TColumnSet& columns = {});
