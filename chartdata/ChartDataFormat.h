#pragma once

#include "chart/ChartPoint.h"
#include "common/DateTime.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// The companion chart data file (.bcd): little-endian, without padding.
//   header:  format byte (1), axis minimum and maximum (two doubles),
//            series count (one byte)
//   series:  title field (100 bytes, zero-padded), point count (int32; a
//            count of 0 or below stands for no points), then the points as
//            (X, Y) pairs of doubles.
// Whatever follows the last series is not part of the data.
constexpr quint8 ChartDataFormatByte = 1;
constexpr qsizetype ChartDataHeaderSize = 18;
constexpr qsizetype SeriesHeaderSize = 104;
constexpr qsizetype PointRecordSize = 16;
constexpr int MaxChartDataSeries = 255;
constexpr qint64 MaxSeriesPoints = 0x7FFFFFFF;

// One series as the headers of a file place it.
struct TSeriesRecord {
    QByteArray Title;     // the title field up to its first zero byte
    qint64 PointsOffset;  // offset of the first point record in the file
    qint64 PointCount;    // never negative
};

// A file's structure as its headers and its length give it: the time range
// and every series stored whole before the first damage.
struct TChartDataLayout {
    TDateTime AxisMin = 0;
    TDateTime AxisMax = 0;
    std::vector<TSeriesRecord> Series;
    // Empty for a whole file; otherwise "The file ... is damaged: ..." about
    // what follows the last whole series.
    QString Damage;
};

// Reads up to `size` bytes at `offset` into `out` and returns how many it
// read, fewer only where the file ends.
using TReadAt = std::function<qint64(qint64 offset, char* out, qint64 size)>;

// Checks the structure of a file of `fileSize` bytes from its headers alone,
// read through `readAt`, so that the points can afterwards be read straight
// where they belong. Throws when not even the time range can be taken from
// the file: it is shorter than its header, or the range is not a pair of
// finite numbers. The format byte is not checked.
TChartDataLayout ScanChartData(qint64 fileSize, const TReadAt& readAt, const QString& fileName);

// The message for a file that cannot be read as far as its counts say.
QString DamagedFileMessage(const QString& fileName, const QString& what);

// Turns `count` point records into points, `records` may lie in `out` itself,
// and returns how many it kept: a point whose time or value is not a finite
// number is left out, as the other readers leave out such a sample.
qsizetype DecodePointRecords(const char* records, qsizetype count, TChartPoint* out);

// Assembles a file image in one buffer of the exact final size:
//   Begin, then for each series BeginSeries and its points, then Bytes.
class TChartDataWriter {
public:
    // Throws for more than 255 series, the most the file's count can hold.
    void Begin(TDateTime axisMin, TDateTime axisMax, int seriesCount, qint64 totalPointCount);
    // Stores the first 100 bytes of `title`.
    void BeginSeries(const QByteArray& title, qint64 pointCount);
    void AddPoints(const TChartPoint* points, qsizetype count);
    // The finished image; throws while announced series or points are missing.
    const QByteArray& Bytes() const;

private:
    QByteArray mImage;
    char* mData = nullptr;
    qsizetype mPos = 0;
    int mSeriesLeft = 0;
    qint64 mPointsLeft = 0;        // announced in Begin, not yet given to a series
    qint64 mSeriesPointsLeft = 0;  // of the current series
};
