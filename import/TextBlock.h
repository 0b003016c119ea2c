#pragma once

#include "chart/ChartPoint.h"
#include "import/TextImport.h"

#include <QByteArray>

#include <exception>
#include <vector>

// A run of whole lines of a text file and the points read from them.
struct TTextBlock {
    QByteArray Text;
    // Where Text starts in the whole text.
    qint64 Offset = 0;
    // The points of each data field, in the order of the lines.
    std::vector<std::vector<TChartPoint>> Columns;
    // The error that stopped the reading of the block, or null; Columns then
    // hold the points of the lines before it and those that its line had
    // given.
    std::exception_ptr Error;
};

// Reads the lines of block.Text as ImportTextFile does, replacing what the
// block's columns held (their room is kept for the next block). Errors are
// kept in block.Error, never thrown.
void ParseTextBlock(TTextBlock& block, const TTextImportOptions& options, const TTextLocale& locale);
