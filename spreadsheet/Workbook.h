#pragma once

#include "spreadsheet/SheetCells.h"

#include <QString>
#include <QStringList>

// Workbooks read without any office program: Office Open XML (.xlsx, .xlsm),
// OpenDocument (.ods) and Excel 97-2003 (.xls), told apart by their content.
// Every error is an Exception whose text names the file and what is wrong.

// The worksheet names in workbook order.
QStringList WorksheetNames(const QString& fileName);

// Streams the rows of worksheet index (from 0) that hold values to onRow, in
// order, and returns the used range; its row count is the number of rows a
// reader of the used range goes through. onProgress (when given) hears how
// much of the worksheet's data the read has gone through. Rows hold only the
// cells of columns; the used range counts the cells of every column.
TUsedRange ReadWorksheet(const QString& fileName, int index, const TRowSink& onRow,
                         const TReadProgress& onProgress = {}, const TColumnSet& columns = {});
