#include "chartdata/ChartDataFormat.h"

#include "chartdata/SeriesTitle.h"
#include "common/Exception.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<TChartPoint> && sizeof(TChartPoint) == PointRecordSize
                  && offsetof(TChartPoint, X) == 0 && offsetof(TChartPoint, Y) == 8,
              "TChartPoint must match a point record: two doubles, X first, no padding");
static_assert(sizeof(double) == 8, "doubles must be IEEE 754 binary64");
static_assert(SeriesHeaderSize == SeriesTitleFieldSize + 4, "series header: title and point count");

QString DamagedFileMessage(const QString& fileName, const QString& what)
{
    return QStringLiteral("The file \"%1\" is damaged: %2.").arg(fileName, what);
}

TChartDataLayout ScanChartData(qint64 fileSize, const TReadAt& readAt, const QString& fileName)
{
    char header[SeriesHeaderSize];
    // A header read short means the file ends there, whatever its size said.
    const auto readHeader = [&](qint64 offset, qsizetype size) {
        return size <= fileSize - offset && readAt(offset, header, size) == size;
    };
    if (!readHeader(0, ChartDataHeaderSize))
        throw Exception(DamagedFileMessage(fileName, QStringLiteral("it has %1 bytes, fewer than the %2 bytes of its header")
                                                         .arg(fileSize).arg(ChartDataHeaderSize)));

    TChartDataLayout layout;
    layout.AxisMin = qFromLittleEndian<double>(header + 1);
    layout.AxisMax = qFromLittleEndian<double>(header + 9);
    // A time range the chart cannot show is no range at all.
    if (!std::isfinite(layout.AxisMin) || !std::isfinite(layout.AxisMax))
        throw Exception(DamagedFileMessage(fileName, QStringLiteral("its time range (%1 to %2) is not a pair of finite numbers")
                                                         .arg(layout.AxisMin).arg(layout.AxisMax)));
    const int seriesCount = static_cast<uchar>(header[17]);

    layout.Series.reserve(static_cast<std::size_t>(seriesCount));
    qint64 pos = ChartDataHeaderSize;
    for (int number = 1; number <= seriesCount; ++number) {
        if (pos == fileSize) {
            layout.Damage = DamagedFileMessage(fileName, QStringLiteral("it ends after %1 of the %2 series it announces")
                                                             .arg(number - 1).arg(seriesCount));
            break;
        }
        if (!readHeader(pos, SeriesHeaderSize)) {
            layout.Damage = DamagedFileMessage(fileName, QStringLiteral("it ends inside the header of series %1 of %2")
                                                             .arg(number).arg(seriesCount));
            break;
        }
        const void* zero = std::memchr(header, 0, SeriesTitleFieldSize);
        const qsizetype titleSize = zero ? static_cast<const char*>(zero) - header : SeriesTitleFieldSize;
        const qint64 pointCount = std::max<qint32>(qFromLittleEndian<qint32>(header + SeriesTitleFieldSize), 0);
        pos += SeriesHeaderSize;
        const qint64 pointBytes = pointCount * PointRecordSize;
        if (pointBytes > fileSize - pos) {
            layout.Damage = DamagedFileMessage(fileName, QStringLiteral("series %1 announces %2 points (%3 bytes) but only %4 bytes follow")
                                                             .arg(number).arg(pointCount).arg(pointBytes).arg(fileSize - pos));
            break;
        }
        layout.Series.push_back({QByteArray(header, titleSize), pos, pointCount});
        pos += pointBytes;
    }
    return layout;
}

qsizetype DecodePointRecords(const char* records, qsizetype count, TChartPoint* out)
{
    if (count <= 0)
        return 0;
    qFromLittleEndian<double>(records, count * 2, out);
    const TChartPoint* end = std::remove_if(out, out + count, [](const TChartPoint& point) {
        return !std::isfinite(point.X) || !std::isfinite(point.Y);
    });
    return end - out;
}

void TChartDataWriter::Begin(TDateTime axisMin, TDateTime axisMax, int seriesCount, qint64 totalPointCount)
{
    if (seriesCount > MaxChartDataSeries)
        throw Exception(QStringLiteral("A chart data file can hold at most %1 data series; the chart has %2. "
                                       "Delete some series and save again.")
                            .arg(MaxChartDataSeries).arg(seriesCount));
    if (seriesCount < 0 || totalPointCount < 0 || totalPointCount > seriesCount * MaxSeriesPoints)
        throw Exception(QStringLiteral("The chart data writer was given an impossible count."));

    mImage = QByteArray();
    mImage.resize(ChartDataHeaderSize + seriesCount * SeriesHeaderSize + totalPointCount * PointRecordSize);
    mData = mImage.data();
    mData[0] = static_cast<char>(ChartDataFormatByte);
    qToLittleEndian<double>(axisMin, mData + 1);
    qToLittleEndian<double>(axisMax, mData + 9);
    mData[17] = static_cast<char>(seriesCount);
    mPos = ChartDataHeaderSize;
    mSeriesLeft = seriesCount;
    mPointsLeft = totalPointCount;
    mSeriesPointsLeft = 0;
}

void TChartDataWriter::BeginSeries(const QByteArray& title, qint64 pointCount)
{
    if (pointCount > MaxSeriesPoints)
        throw Exception(QStringLiteral("The series \"%1\" has %2 points; a chart data file can hold at most %3 "
                                       "points in one series.")
                            .arg(TitleToDisplay(title)).arg(pointCount).arg(MaxSeriesPoints));
    if (mSeriesLeft == 0 || mSeriesPointsLeft != 0 || pointCount < 0 || pointCount > mPointsLeft)
        throw Exception(QStringLiteral("The chart data writer was given series or points it did not expect."));

    const qsizetype titleSize = qMin(title.size(), SeriesTitleFieldSize);
    std::memcpy(mData + mPos, title.constData(), titleSize);
    std::memset(mData + mPos + titleSize, 0, SeriesTitleFieldSize - titleSize);
    qToLittleEndian<qint32>(static_cast<qint32>(pointCount), mData + mPos + SeriesTitleFieldSize);
    mPos += SeriesHeaderSize;
    --mSeriesLeft;
    mPointsLeft -= pointCount;
    mSeriesPointsLeft = pointCount;
}

void TChartDataWriter::AddPoints(const TChartPoint* points, qsizetype count)
{
    if (count < 0 || count > mSeriesPointsLeft)
        throw Exception(QStringLiteral("The chart data writer was given more points than announced."));
    if (count == 0)
        return;
    qToLittleEndian<double>(points, count * 2, mData + mPos);
    mPos += count * PointRecordSize;
    mSeriesPointsLeft -= count;
}

const QByteArray& TChartDataWriter::Bytes() const
{
    if (mData == nullptr || mPos != mImage.size())
        throw Exception(QStringLiteral("The chart data writer was given fewer series or points than announced."));
    return mImage;
}
