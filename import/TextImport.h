#pragma once

#include "chart/ChartPoint.h"
#include "common/LoadProgress.h"
#include "import/LoadWindow.h"
#include "import/TextLocale.h"

#include <QString>

#include <vector>

// Bytes read from a text file at a time, the lines of each read going to a
// helper thread together: small enough that the blocks waiting for a helper
// or for the columns, a few a processor, take little memory.
constexpr qsizetype TextImportBlockSize = 1 << 20;

struct TTextImportOptions {
    char Delimiter = '\t';
    // Field numbers count from 1.
    int TimeField = 1;
    std::vector<int> DataFields;
    TLoadWindow Window{0, 0};
};

// Reads a delimited text file a block of blockSize bytes at a time, the lines
// of the blocks on all processors, as if line by line in order. A line is kept
// when its time field holds a date or time t other than 0 inside Window (both
// ends included); then the point (t, value) is appended to columns[k] when
// DataFields[k] holds a number. columns is first grown to one column per data
// field. Lines end at CR LF, a lone CR or a lone LF; a zero byte ends the text,
// and a UTF-8 byte-order mark at its start is skipped.
//
// A line with fewer fields than the time field number, and a kept line with
// fewer fields than a data field number, stop the import with the Exception
// "List index out of bounds (n)", n being the missing field's number minus 1;
// the points appended before stay in columns. A file that cannot be read
// throws "Cannot open file "<path>". <reason>".
//
// After each block the progress learns how many bytes of the file's size have
// their points in columns (and, while a line longer than a block is read, the
// same again); a cancel there throws LoadCancelled, the columns holding the
// points of those bytes.
void ImportTextFile(const QString& fileName, const TTextImportOptions& options, const TTextLocale& locale,
                    std::vector<std::vector<TChartPoint>>& columns, TLoadProgress* progress = nullptr,
                    qsizetype blockSize = TextImportBlockSize);
