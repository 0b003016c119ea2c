#pragma once

#include "spreadsheet/SheetCells.h"

#include <QStringList>

#include <string_view>

// The workbook stream of an Excel 97-2003 workbook (BIFF8), held whole in
// memory. Worksheets are the sheets of the workbook that are neither chart
// nor macro sheets, hidden ones too, in workbook order. Earlier BIFF
// versions, encrypted workbooks and damaged streams are Exceptions.

QStringList XlsStreamWorksheetNames(std::string_view stream);

// Streams the rows of worksheet index (from 0) to onRow and returns the used
// range. A number is a Double, Date or Currency by its cell's number format,
// typed as in .xlsx workbooks; a formula gives the result stored with it
// (a number, a string, a boolean or an error), none when it has none.
TUsedRange ReadXlsStreamWorksheet(std::string_view stream, int index, const TRowSink& onRow,
                                  const TReadProgress& onProgress = {});
