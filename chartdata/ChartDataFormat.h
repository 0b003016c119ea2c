#pragma once

#include "chart/ChartPoint.h"
#include "common/DateTime.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The companion chart data file (.bcd): a little-endian image without padding.
//   header:  format byte (1), axis minimum and maximum (two doubles),
//            series count (one byte)
//   series:  title field (100 bytes, zero-padded), point count (int32),
//            then the points as (X, Y) pairs of doubles.
constexpr quint8 ChartDataFormatByte = 1;
constexpr qsizetype ChartDataHeaderSize = 18;
constexpr qsizetype SeriesHeaderSize = 104;
constexpr qsizetype PointRecordSize = 16;
constexpr int MaxChartDataSeries = 255;
constexpr qint64 MaxSeriesPoints = 0x7FFFFFFF;

// One series as it lies in a file image.
struct TSeriesRecord {
    QByteArray Title;        // the title field up to its first zero byte
    qsizetype PointsOffset;  // offset of the first point record in the image
    qsizetype PointCount;
};

// A checked file image: every count agrees with the image's length, so the
// points of any series can be decoded without further checks.
class TChartDataLayout {
public:
    TDateTime AxisMin() const { return mAxisMin; }
    TDateTime AxisMax() const { return mAxisMax; }
    const std::vector<TSeriesRecord>& Series() const { return mSeries; }

    // Decodes the points of series `index` into `out`, which must have room
    // for Series()[index].PointCount points.
    void DecodePoints(std::size_t index, TChartPoint* out) const;

private:
    friend TChartDataLayout ParseChartData(const QByteArray& image, const QString& fileName);

    QByteArray mImage;
    TDateTime mAxisMin = 0;
    TDateTime mAxisMax = 0;
    std::vector<TSeriesRecord> mSeries;
};

// Checks the whole image before anything is handed on. A file that is shorter
// than its counts announce, has a negative point count or has bytes after its
// last series is refused with an Exception naming `fileName` and the fault.
// The format byte is not checked.
TChartDataLayout ParseChartData(const QByteArray& image, const QString& fileName);

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
