#pragma once

#include "chart/ChartPoint.h"
#include "common/DateTime.h"
#include "import/TextLocale.h"

#include <QString>

#include <string_view>
#include <vector>

struct TTextImportOptions {
    char Delimiter = '\t';
    // Field numbers count from 1.
    int TimeField = 1;
    std::vector<int> DataFields;
    // Both ends belong to the window, also a time that misses an end only by
    // the rounding of the end's computation.
    TDateTime WindowStart = 0;
    TDateTime WindowEnd = 0;
};

// Reads delimited text line by line. A line is kept when its time field holds
// a date or time t other than 0 with WindowStart <= t <= WindowEnd; then the
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
