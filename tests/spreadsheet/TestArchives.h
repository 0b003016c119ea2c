#pragma once

#include "spreadsheet/SheetCells.h"

#include <string>
#include <utility>
#include <vector>

// Workbook archives made in memory, for the readers' tests and fuzz targets.

// A zip archive holding the parts (name and content) uncompressed.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& parts);

// A workbook part of one worksheet, of the 1904 date system, and a styles
// part whose cell formats 0 to 3 are General, "hh:mm", a date and a currency.
extern const char* const XlsxWorkbookPart;
extern const char* const XlsxStylesPart;

// An .xlsx package of one worksheet with these parts.
std::string XlsxArchive(const std::string& sheet, const std::string& workbook = XlsxWorkbookPart,
                        const std::string& styles = XlsxStylesPart);

// Everything a read of the cells of columns of the worksheet part sheet
// gives, rows, used range or error, as text.
std::string XlsxSheetOutcome(const std::string& sheet, const TColumnSet& columns = {});
