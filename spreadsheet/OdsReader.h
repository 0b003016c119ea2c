#pragma once

#include "spreadsheet/SheetCells.h"

#include <QStringList>

class TZipPackage;

// OpenDocument spreadsheets (.ods): the tables of the content part.

// The names of the tables in document order.
QStringList OdsWorksheetNames(const TZipPackage& package);

// Streams the rows of table index (from 0) to onRow and returns the used
// range. Cells are typed by their value type (float and percentage are
// Double, currency Currency, date and time Date, boolean Boolean, string
// Text, a formula's error Error); repeated rows and cells come as one row or
// run with their count, never expanded.
TUsedRange ReadOdsWorksheet(const TZipPackage& package, int index, const TRowSink& onRow,
                            const TReadProgress& onProgress = {});
