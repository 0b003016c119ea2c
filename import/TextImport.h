#pragma once

#include "chart/ChartPoint.h"
#include "import/LoadWindow.h"
#include "import/TextLocale.h"

#include <QString>

#include <string_view>
#include <vector>

struct TTextImportOptions {
    char Delimiter = '\t';
    // Field numbers count from 1.
    int TimeField = 1;
    std::vector<int> DataFields;
    TLoadWindow Window{0, 0};
};

// Reads delimited text line by line. A line is kept when its time field holds
// a date or time t other than 0 inside Window (both ends included); then the
// point (t, value) is appended to columns[k] when DataFields[k] holds a number.
// columns is first grown to one column per data field.
//
// A line with fewer fields than the time field number, and a kept line with
// fewer fields than a data field number, stop the import with the Exception
// "List index out of bounds (n)", n being the missing field's number minus 1;
// the points appended before stay in columns.
void ImportText(std::string_view text, const TTextImportOptions& options, const TTextLocale& locale,
                std::vector<std::vector<TChartPoint>>& columns);

// Imports the text of a file by ImportText. Throws the Exception
// "Cannot open file "<path>". <reason>" when the file cannot be read.
void ImportTextFile(const QString& fileName, const TTextImportOptions& options, const TTextLocale& locale,
                    std::vector<std::vector<TChartPoint>>& columns);
