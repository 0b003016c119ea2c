#pragma once

#include "common/LoadProgress.h"
#include "import/LoadWindow.h"

#include <QString>

#include <vector>

class TFastLineSeries;

// The columns a user can choose, "A" to "Z".
constexpr int ExcelLetterCount = 26;

// Loads a worksheet of a workbook into series that are already on the chart,
// streaming its rows. A row counts when its cell in timeColumn (1 is column
// A) holds a number or a date t inside the window, both ends included, its
// date part kept; the row then gives each series whose cell in the column
// named by the series' tag (0 is column A) holds a number (currency and dates
// count) the point (t, value). Text, booleans, errors and empty cells add no
// point; a currency time cell skips its row. Columns are the worksheet's own,
// wherever its used range starts; a column outside the used range is empty.
//
// The points read before an error are added to their series before the
// error goes on to the caller. `progress` (when given) hears how much of the
// worksheet's data was read (the count of rows read where its size is not
// known); a cancel there throws LoadCancelled.
void LoadWorksheet(const QString& fileName, int sheetIndex, int timeColumn, const TLoadWindow& window,
                   const std::vector<TFastLineSeries*>& series, TLoadProgress* progress = nullptr);
