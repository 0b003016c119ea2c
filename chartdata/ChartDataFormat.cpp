#include "chartdata/ChartDataFormat.h"

#include "chartdata/SeriesTitle.h"
#include "common/Exception.h"

#include <QtEndian>

#include <cstddef>
#include <cmath>
#include <cstring>
#include <type_traits>

static_assert(std::is_trivially_copyable_v<TChartPoint> && sizeof(TChartPoint) == PointRecordSize
                  && offsetof(TChartPoint, X) == 0 && offsetof(TChartPoint, Y) == 8,
              "TChartPoint must match a point record: two doubles, X first, no padding");
static_assert(sizeof(double) == 8, "doubles must be IEEE 754 binary64");
static_assert(SeriesHeaderSize == SeriesTitleFieldSize + 4, "series header: title and point count");

namespace {

[[noreturn]] void Damaged(const QString& fileName, const QString& what)
{
    throw Exception(QStringLiteral("The file \"%1\" is damaged: %2.").arg(fileName, what));
}

} // namespace

TChartDataLayout ParseChartData(const QByteArray& image, const QString& fileName)
{
    const qsizetype size = image.size();
    const char* data = image.constData();
    if (size < ChartDataHeaderSize)
        Damaged(fileName, QStringLiteral("it has %1 bytes, fewer than the %2 bytes of its header")
                              .arg(size).arg(ChartDataHeaderSize));

    TChartDataLayout layout;
    layout.mAxisMin = qFromLittleEndian<double>(data + 1);
    layout.mAxisMax = qFromLittleEndian<double>(data + 9);
    // A time range the chart cannot show is no range at all.
    if (!std::isfinite(layout.mAxisMin) || !std::isfinite(layout.mAxisMax))
        Damaged(fileName, QStringLiteral("its time range (%1 to %2) is not a pair of finite numbers")
                              .arg(layout.mAxisMin).arg(layout.mAxisMax));
    const int seriesCount = static_cast<uchar>(data[17]);
    if (size - ChartDataHeaderSize < seriesCount * SeriesHeaderSize)
        Damaged(fileName, QStringLiteral("it announces %1 series but has room for the headers of only %2")
                              .arg(seriesCount).arg((size - ChartDataHeaderSize) / SeriesHeaderSize));

    layout.mSeries.reserve(seriesCount);
    qsizetype pos = ChartDataHeaderSize;
    for (int i = 0; i < seriesCount; ++i) {
        const int number = i + 1;
        if (size - pos < SeriesHeaderSize)
            Damaged(fileName, QStringLiteral("it ends inside the header of series %1 of %2")
                                  .arg(number).arg(seriesCount));
        const char* title = data + pos;
        const void* zero = std::memchr(title, 0, SeriesTitleFieldSize);
        const qsizetype titleSize =
            zero ? static_cast<const char*>(zero) - title : SeriesTitleFieldSize;
        const qint32 pointCount = qFromLittleEndian<qint32>(data + pos + SeriesTitleFieldSize);
        pos += SeriesHeaderSize;
        if (pointCount < 0)
            Damaged(fileName, QStringLiteral("series %1 has a negative point count (%2)")
                                  .arg(number).arg(pointCount));
        const qint64 pointBytes = qint64(pointCount) * PointRecordSize;
        if (pointBytes > size - pos)
            Damaged(fileName, QStringLiteral("series %1 announces %2 points (%3 bytes) but only %4 bytes follow")
                                  .arg(number).arg(pointCount).arg(pointBytes).arg(size - pos));
        layout.mSeries.push_back({QByteArray(title, titleSize), pos, pointCount});
        pos += pointBytes;
    }
    // The counts are the format's only check on its contents, so a file
    // whose length disagrees with them is not trusted either way.
    if (pos != size)
        Damaged(fileName, QStringLiteral("%1 bytes follow its last series").arg(size - pos));

    layout.mImage = image;
    return layout;
}

void TChartDataLayout::DecodePoints(std::size_t index, TChartPoint* out) const
{
    const TSeriesRecord& series = mSeries.at(index);
    if (series.PointCount == 0)
        return;
    qFromLittleEndian<double>(mImage.constData() + series.PointsOffset, series.PointCount * 2, out);
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
