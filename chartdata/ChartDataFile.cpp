#include "chartdata/ChartDataFile.h"

#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataIO.h"
#include "common/Exception.h"
#include "common/MemoryLeft.h"
#include "common/PrefaultMemory.h"
#include "common/RegularFile.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

// Points go to the writer and come from the file a block at a time: one call
// for each point costs more than the copying itself, and a block stays in the
// processor's cache between being read and being stored.
constexpr qsizetype BlockPoints = 16384;

// A point in memory: its X and Y, and its share of the series' summary.
constexpr qint64 PointMemoryBytes = 17;
// Left over for the rest of the program when a file has been read.
constexpr qint64 SpareMemoryBytes = 64 << 20;

qint64 TotalPoints(const TChartDataLayout& layout)
{
    qint64 total = 0;
    for (const TSeriesRecord& record : layout.Series)
        total += record.PointCount;
    return total;
}

qint64 Megabytes(qint64 bytes)
{
    return (bytes + 999999) / 1000000;
}

} // namespace

void SaveChartDataFile(const TChart& chart, TDateTime axisMin, TDateTime axisMax, const QString& fileName)
{
    qint64 totalPoints = 0;
    for (int i = 1; i < chart.SeriesCount(); ++i)
        totalPoints += chart.LineSeries(i)->Count();

    TChartDataWriter writer;
    writer.Begin(axisMin, axisMax, chart.SeriesCount() - 1, totalPoints);
    std::vector<TChartPoint> block(BlockPoints);
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        const TFastLineSeries& series = *chart.LineSeries(i);
        const int count = series.Count();
        writer.BeginSeries(series.Title(), count);
        for (int first = 0; first < count; first += BlockPoints) {
            const int size = std::min<int>(BlockPoints, count - first);
            for (int p = 0; p < size; ++p)
                block[static_cast<std::size_t>(p)] = {series.XValue(first + p), series.YValue(first + p)};
            writer.AddPoints(block.data(), size);
        }
    }
    WriteChartDataFile(fileName, writer.Bytes());
}

TChartDataFileReader::TChartDataFileReader(const QString& fileName) : mFileName(fileName)
{
    OpenRegularFile(mFile, fileName);
    mLayout = ScanChartData(mFile.size(), [this](qint64 offset, char* out, qint64 size) {
        return ReadFileAt(mFile, mFileName, offset, out, size);
    }, fileName);
}

void TChartDataFileReader::AppendSeries(TChart& chart, TLoadProgress* progress)
{
    const qint64 points = TotalPoints(mLayout);
    const qint64 need = points * PointMemoryBytes;
    const auto tooLarge = [&](const QString& left) {
        return TChartDataTooLarge(QStringLiteral("The chart data file \"%1\" does not fit in memory: its %2 points "
                                                 "need %3 MB%4. The file is kept as it is.")
                                      .arg(mFileName)
                                      .arg(points)
                                      .arg(Megabytes(need))
                                      .arg(left));
    };
    // The kernel grants far more room than it can back with pages: the room
    // for a file larger than the memory left would be granted, and the
    // program killed while the points are written into it. So the whole
    // file's need is weighed before any room is asked for.
    const qint64 left = MemoryLeft(ReadMemoryFigures());
    if (need + SpareMemoryBytes > left)
        throw tooLarge(QStringLiteral(", and %1 MB are free").arg(Megabytes(left)));
    try {
        ReadSeries(chart, progress);
    } catch (const std::bad_alloc&) {
        throw tooLarge(QString());
    }
}

void TChartDataFileReader::ReadSeries(TChart& chart, TLoadProgress* progress)
{
    const qint64 total = TotalPoints(mLayout);
    qint64 read = 0;
    // Room for every series first, so that the kernel can hand over the
    // pages on another thread while the file is read.
    std::vector<std::unique_ptr<TFastLineSeries>> created;
    std::vector<TMemorySpan> room;
    for (const TSeriesRecord& record : mLayout.Series) {
        created.push_back(CreateChartSeries(chart.SeriesCount() + static_cast<int>(created.size()), record.Title));
        room.push_back(created.back()->ReservePoints(static_cast<std::size_t>(record.PointCount)));
    }
    const TMemoryPrefaulter prefaulter(std::move(room));
    const std::unique_ptr<TChartPoint[]> block(new TChartPoint[BlockPoints]);
    char* const bytes = reinterpret_cast<char*>(block.get());
    for (std::size_t s = 0; s < created.size(); ++s) {
        const TSeriesRecord& record = mLayout.Series[s];
        TFastLineSeries& series = *created[s];
        TSeriesLoad load({&series});
        for (qint64 done = 0; done < record.PointCount;) {
            const qsizetype count = static_cast<qsizetype>(std::min<qint64>(BlockPoints, record.PointCount - done));
            const qint64 size = count * PointRecordSize;
            // The file may have been cut short since its structure was checked.
            if (ReadFileAt(mFile, mFileName, record.PointsOffset + done * PointRecordSize, bytes, size) != size)
                throw Exception(DamagedFileMessage(mFileName, QStringLiteral("it was cut short while it was read")));
            const qsizetype kept = DecodePointRecords(bytes, count, block.get());
            series.AddPoints(block.get(), static_cast<std::size_t>(kept));
            done += count;
            read += count;
            ReportLoadProgress(progress, read, total);
        }
        load.Finish();
        chart.AddSeries(std::move(created[s]));
    }
    if (!mLayout.Damage.isEmpty())
        throw Exception(mLayout.Damage);
}
