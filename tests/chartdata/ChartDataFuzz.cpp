// libFuzzer target for the chart data file reader: any input must either be
// refused with an Exception or yield a structure whose series lie inside the
// input, whose points decode block by block as the reader decodes them, and
// which the writer turns back into the input up to the end of its last whole
// series (apart from what the reader drops or reads as the format says: the
// format byte, the bytes after a title's terminating zero, a point count
// below 0, a series count beyond the whole series and points whose time or
// value is not a finite number).
#include "chartdata/ChartDataFormat.h"
#include "chartdata/SeriesTitle.h"
#include "common/Exception.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Small enough that a series of a few points spans several blocks.
constexpr qsizetype BlockPoints = 3;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray image(reinterpret_cast<const char*>(data), qsizetype(size));
    TChartDataLayout layout;
    try {
        layout = ScanChartData(
            image.size(),
            [&](qint64 offset, char* out, qint64 count) {
                Check(offset >= 0 && count >= 0 && offset + count <= image.size());
                std::memcpy(out, image.constData() + offset, std::size_t(count));
                return count;
            },
            QStringLiteral("fuzz.bcd"));
    } catch (const Exception&) {
        return 0;
    }
    Check(layout.Series.size() <= std::size_t(static_cast<uchar>(image[17])));
    Check(layout.Damage.isEmpty() == (layout.Series.size() == std::size_t(static_cast<uchar>(image[17]))));

    qint64 total = 0;
    qint64 end = ChartDataHeaderSize;
    for (const TSeriesRecord& series : layout.Series) {
        Check(series.PointsOffset == end + SeriesHeaderSize && series.PointCount >= 0);
        end = series.PointsOffset + series.PointCount * PointRecordSize;
        Check(end <= image.size());
        total += series.PointCount;
    }

    // The points that the reader keeps: those with a finite time and value.
    std::vector<std::vector<TChartPoint>> kept(layout.Series.size());
    qint64 keptTotal = 0;
    TChartPoint block[BlockPoints];
    for (std::size_t i = 0; i < layout.Series.size(); ++i) {
        const TSeriesRecord& series = layout.Series[i];
        for (qint64 done = 0; done < series.PointCount;) {
            const qsizetype count = qsizetype(std::min<qint64>(BlockPoints, series.PointCount - done));
            // Decoded where the bytes were read to, as the reader does.
            std::memcpy(block, image.constData() + series.PointsOffset + done * PointRecordSize,
                        std::size_t(count * PointRecordSize));
            const qsizetype left = DecodePointRecords(reinterpret_cast<const char*>(block), count, block);
            Check(left >= 0 && left <= count);
            for (qsizetype j = 0; j < left; ++j)
                Check(std::isfinite(block[j].X) && std::isfinite(block[j].Y));
            kept[i].insert(kept[i].end(), block, block + left);
            done += count;
        }
        keptTotal += qint64(kept[i].size());
    }

    TChartDataWriter writer;
    writer.Begin(layout.AxisMin, layout.AxisMax, int(layout.Series.size()), keptTotal);
    QByteArray expected = image.left(ChartDataHeaderSize);
    expected[0] = char(ChartDataFormatByte);
    expected[17] = char(layout.Series.size());
    for (std::size_t i = 0; i < layout.Series.size(); ++i) {
        const TSeriesRecord& series = layout.Series[i];
        Check(series.Title.size() <= SeriesTitleFieldSize && !series.Title.contains('\0'));
        TitleToDisplay(series.Title);
        writer.BeginSeries(series.Title, qint64(kept[i].size()));
        writer.AddPoints(kept[i].data(), qsizetype(kept[i].size()));

        QByteArray header = image.mid(series.PointsOffset - SeriesHeaderSize, SeriesHeaderSize);
        std::memset(header.data() + series.Title.size(), 0, std::size_t(SeriesTitleFieldSize - series.Title.size()));
        qToLittleEndian<qint32>(qint32(kept[i].size()), header.data() + SeriesTitleFieldSize);
        expected += header;
        QByteArray points(qsizetype(kept[i].size()) * PointRecordSize, Qt::Uninitialized);
        for (std::size_t j = 0; j < kept[i].size(); ++j) {
            qToLittleEndian<double>(kept[i][j].X, points.data() + j * PointRecordSize);
            qToLittleEndian<double>(kept[i][j].Y, points.data() + j * PointRecordSize + 8);
        }
        expected += points;
    }
    Check(writer.Bytes() == expected);
    return 0;
}
