// libFuzzer target for the chart data file parser: any input must either be
// refused with an Exception or yield a layout whose points decode in bounds
// and which the writer turns back into the same image (apart from the format
// byte and the bytes after a title's terminating zero, which the reader drops).
#include "chartdata/ChartDataFormat.h"
#include "chartdata/SeriesTitle.h"
#include "common/Exception.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray image(reinterpret_cast<const char*>(data), qsizetype(size));
    TChartDataLayout layout;
    try {
        layout = ParseChartData(image, QStringLiteral("fuzz.bcd"));
    } catch (const Exception&) {
        return 0;
    }

    qint64 total = 0;
    for (const TSeriesRecord& series : layout.Series())
        total += series.PointCount;
    TChartDataWriter writer;
    writer.Begin(layout.AxisMin(), layout.AxisMax(), int(layout.Series().size()), total);
    std::vector<TChartPoint> points;
    for (std::size_t i = 0; i < layout.Series().size(); ++i) {
        const TSeriesRecord& series = layout.Series()[i];
        Check(series.Title.size() <= SeriesTitleFieldSize && !series.Title.contains('\0'));
        TitleToDisplay(series.Title);
        points.assign(std::size_t(series.PointCount), TChartPoint{});
        layout.DecodePoints(i, points.data());
        writer.BeginSeries(series.Title, series.PointCount);
        writer.AddPoints(points.data(), qsizetype(points.size()));
    }

    QByteArray expected = image;
    expected[0] = char(ChartDataFormatByte);
    for (const TSeriesRecord& series : layout.Series()) {
        const qsizetype titleStart = series.PointsOffset - SeriesHeaderSize;
        std::memset(expected.data() + titleStart + series.Title.size(), 0,
                    std::size_t(SeriesTitleFieldSize - series.Title.size()));
    }
    Check(writer.Bytes() == expected);
    return 0;
}
