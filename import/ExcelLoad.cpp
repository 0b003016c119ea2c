#include "import/ExcelLoad.h"

#include "chart/ChartSeries.h"
#include "spreadsheet/Workbook.h"

#include <algorithm>
#include <array>

namespace {

// Points go to their series in blocks of this many, so that the load holds
// neither the sheet nor a copy of the series.
constexpr std::size_t BlockSize = 8192;
// Rows between two reports of progress.
constexpr qint64 ProgressRows = 4096;

bool IsTimeCell(const TCell& cell)
{
    return cell.Kind == TCellKind::Double || cell.Kind == TCellKind::Date;
}

bool IsNumberCell(const TCell& cell)
{
    return cell.Kind == TCellKind::Double || cell.Kind == TCellKind::Currency || cell.Kind == TCellKind::Date;
}

// The cells of one row in the columns "A" to "Z", by column number.
class TLetterCells {
public:
    void Fill(const TSheetRow& row)
    {
        mCells.fill(nullptr);
        for (const TCellRun& run : row.Cells) {
            const int last = std::min(run.Column + run.Count - 1, ExcelLetterCount);
            for (int column = run.Column; column <= last; ++column)
                mCells[static_cast<std::size_t>(column)] = &run.Cell;
        }
    }
    // Null for an empty cell, also outside "A" to "Z".
    const TCell* At(int column) const
    {
        return column >= 1 && column <= ExcelLetterCount ? mCells[static_cast<std::size_t>(column)] : nullptr;
    }

private:
    std::array<const TCell*, ExcelLetterCount + 1> mCells{};
};

class TSeriesBlocks {
public:
    explicit TSeriesBlocks(const std::vector<TFastLineSeries*>& series) : mSeries(series), mBlocks(series.size())
    {
        for (std::vector<TChartPoint>& block : mBlocks)
            block.reserve(BlockSize);
    }

    void Add(std::size_t k, double x, double y)
    {
        std::vector<TChartPoint>& block = mBlocks[k];
        block.push_back({x, y});
        if (block.size() == BlockSize)
            Flush(k);
    }

    void FlushAll()
    {
        for (std::size_t k = 0; k < mBlocks.size(); ++k)
            Flush(k);
    }

private:
    void Flush(std::size_t k)
    {
        mSeries[k]->AddPoints(mBlocks[k].data(), mBlocks[k].size());
        mBlocks[k].clear();
    }

    const std::vector<TFastLineSeries*>& mSeries;
    std::vector<std::vector<TChartPoint>> mBlocks;
};

} // namespace

void LoadWorksheet(const QString& fileName, int sheetIndex, int timeColumn, const TLoadWindow& window,
                   const std::vector<TFastLineSeries*>& series, TLoadProgress* progress)
{
    qint64 rowsRead = 0;
    // How far the reader has come through the worksheet's data: what the
    // progress shows, at every chunk of data as well as every few thousand
    // rows, so that a sheet of few rows with huge cells shows it too.
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    const auto report = [&] {
        if (bytesTotal > 0)
            ReportLoadProgress(progress, static_cast<qint64>(std::min(bytesDone, bytesTotal)),
                               static_cast<qint64>(bytesTotal));
        else
            ReportLoadProgress(progress, rowsRead, -1);
    };
    const auto onProgress = [&](std::uint64_t done, std::uint64_t total) {
        bytesDone = done;
        bytesTotal = total;
        report();
    };
    std::vector<int> columns;
    for (const TFastLineSeries* one : series)
        columns.push_back(one->Tag() + 1);
    // The reader types and converts the cells of these columns only.
    std::vector<int> read = columns;
    read.push_back(timeColumn);
    TSeriesLoad load(series);
    TSeriesBlocks blocks(series);
    TLetterCells cells;
    const auto onRow = [&](const TSheetRow& row) {
        if (++rowsRead % ProgressRows == 0)
            report();
        cells.Fill(row);
        const TCell* time = cells.At(timeColumn);
        if (!time || !IsTimeCell(*time) || !window.Contains(time->Value))
            return;
        for (int repeat = 0; repeat < row.Repeat; ++repeat) {
            for (std::size_t k = 0; k < columns.size(); ++k) {
                const TCell* cell = cells.At(columns[k]);
                if (cell && IsNumberCell(*cell))
                    blocks.Add(k, time->Value, cell->Value);
            }
        }
    };
    try {
        ReadWorksheet(fileName, sheetIndex, onRow, onProgress, TColumnSet(read));
    } catch (...) {
        blocks.FlushAll();
        throw;
    }
    blocks.FlushAll();
    load.Finish();
}
