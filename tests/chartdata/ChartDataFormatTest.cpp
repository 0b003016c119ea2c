#include "chartdata/ChartDataFormat.h"

#include "common/Exception.h"

#include <gtest/gtest.h>

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

const QString FileName = QStringLiteral("/videos/run 7.bcd");

struct TSeries {
    QByteArray Title;
    std::vector<TChartPoint> Points;
};

QByteArray Write(TDateTime axisMin, TDateTime axisMax, const std::vector<TSeries>& series)
{
    qint64 total = 0;
    for (const TSeries& s : series)
        total += qint64(s.Points.size());
    TChartDataWriter writer;
    writer.Begin(axisMin, axisMax, int(series.size()), total);
    for (const TSeries& s : series) {
        writer.BeginSeries(s.Title, qint64(s.Points.size()));
        writer.AddPoints(s.Points.data(), qsizetype(s.Points.size()));
    }
    return writer.Bytes();
}

// Scans a file image as the reader scans a file.
TChartDataLayout Scan(const QByteArray& image)
{
    return ScanChartData(
        image.size(),
        [&](qint64 offset, char* out, qint64 size) {
            const qint64 count = std::max<qint64>(0, std::min<qint64>(size, image.size() - offset));
            std::memcpy(out, image.constData() + offset, std::size_t(count));
            return count;
        },
        FileName);
}

std::vector<TChartPoint> Points(const QByteArray& image, const TChartDataLayout& layout, std::size_t index)
{
    const TSeriesRecord& series = layout.Series.at(index);
    std::vector<TChartPoint> points(std::size_t(series.PointCount));
    DecodePointRecords(image.constData() + series.PointsOffset, qsizetype(points.size()), points.data());
    return points;
}

// Bit-exact, so that -0.0 and NaN payloads count too.
bool SamePoints(const std::vector<TChartPoint>& a, const std::vector<TChartPoint>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(TChartPoint)) == 0;
}

// The error of a file that cannot be read at all, or else its damage.
QString ScanError(const QByteArray& image)
{
    try {
        return Scan(image).Damage;
    } catch (const Exception& e) {
        return e.Message();
    }
}

TEST(ChartDataFormat, ChartWithoutSeriesIsTheEighteenByteHeader)
{
    const QByteArray expected = QByteArray::fromHex("01"
                                                    "000000000000E03F"
                                                    "000000000000E83F"
                                                    "00");
    const QByteArray image = Write(0.5, 0.75, {});
    EXPECT_EQ(image.toHex(), expected.toHex());

    const TChartDataLayout layout = Scan(image);
    EXPECT_EQ(layout.AxisMin, 0.5);
    EXPECT_EQ(layout.AxisMax, 0.75);
    EXPECT_TRUE(layout.Series.empty());
}

// A file put together by hand, field by field, so that the writer and the
// reader are both held to the byte layout rather than only to each other.
TEST(ChartDataFormat, OneSeriesOfTwoPointsMatchesTheByteLayout)
{
    const QByteArray expected = QByteArray::fromHex("01"
                                                    "0000000000000000"   // 0.0
                                                    "000000000000F03F")  // 1.0
                                + QByteArray::fromHex("01")
                                + QByteArray("Temp") + QByteArray(96, '\0')
                                + QByteArray::fromHex("02000000"
                                                      "000000000000F83F"   // 1.5
                                                      "00000000000000C0"   // -2.0
                                                      "000000000000D03F"   // 0.25
                                                      "0000000000407F40"); // 500.0
    ASSERT_EQ(expected.size(), 154);

    const QByteArray image = Write(0.0, 1.0, {{"Temp", {{1.5, -2.0}, {0.25, 500.0}}}});
    EXPECT_EQ(image.toHex(), expected.toHex());

    const TChartDataLayout layout = Scan(expected);
    ASSERT_EQ(layout.Series.size(), 1u);
    EXPECT_EQ(layout.Series[0].Title, QByteArray("Temp"));
    EXPECT_EQ(layout.Series[0].PointsOffset, 122);
    EXPECT_EQ(layout.Series[0].PointCount, 2);
    const std::vector<TChartPoint> points = Points(expected, layout, 0);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].X, 1.5);
    EXPECT_EQ(points[0].Y, -2.0);
    EXPECT_EQ(points[1].X, 0.25);
    EXPECT_EQ(points[1].Y, 500.0);
}

TEST(ChartDataFormat, TitleFieldIsZeroPaddedOrClippedToHundredBytes)
{
    struct TCase {
        int Length;
        int Stored;
    };
    for (const TCase c : {TCase{0, 0}, TCase{11, 11}, TCase{99, 99}, TCase{100, 100}, TCase{101, 100}, TCase{300, 100}}) {
        QByteArray title;
        for (int i = 0; i < c.Length; ++i)
            title.append(char('A' + i % 26));
        const QByteArray image = Write(0, 1, {{title, {}}});
        ASSERT_EQ(image.size(), 18 + 104) << c.Length;
        const QByteArray field = image.mid(18, 100);
        EXPECT_EQ(field.left(c.Stored), title.left(c.Stored)) << c.Length;
        EXPECT_EQ(field.mid(c.Stored), QByteArray(100 - c.Stored, '\0')) << c.Length;

        const TChartDataLayout layout = Scan(image);
        EXPECT_EQ(layout.Series.at(0).Title, title.left(c.Stored)) << c.Length;
    }
}

TEST(ChartDataFormat, RoundTripKeepsTitlesBytesPointsOrderAndRange)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<TSeries> series = {
        {QByteArray::fromHex("447275636B20C3BC"), {{45000.25, 1.0}, {45000.5, -0.0}, {45000.75, 1e-310}}},
        {"empty", {}},
        {QByteArray::fromHex("54656D7020B043"), {{45000.0, nan}, {45000.0, std::numeric_limits<double>::infinity()}}},
        {QByteArray::fromHex("FF80FE"), {{-1.25, -1e300}}},
        {"", {{0, 0}}},
    };
    const QByteArray image = Write(45000.0, 45001.0, series);
    ASSERT_EQ(image.size(), 18 + 5 * 104 + 7 * 16);

    const TChartDataLayout layout = Scan(image);
    EXPECT_EQ(layout.AxisMin, 45000.0);
    EXPECT_EQ(layout.AxisMax, 45001.0);
    ASSERT_EQ(layout.Series.size(), series.size());
    std::vector<TSeries> readBack;
    for (std::size_t i = 0; i < series.size(); ++i) {
        EXPECT_EQ(layout.Series[i].Title, series[i].Title) << i;
        EXPECT_TRUE(SamePoints(Points(image, layout, i), series[i].Points)) << i;
        readBack.push_back({layout.Series[i].Title, Points(image, layout, i)});
    }
    EXPECT_EQ(Write(layout.AxisMin, layout.AxisMax, readBack), image);
}

TEST(ChartDataFormat, HoldsUpTo255SeriesAndRefusesMore)
{
    const QByteArray image = Write(0, 1, std::vector<TSeries>(255, TSeries{"s", {{1, 2}}}));
    EXPECT_EQ(static_cast<uchar>(image[17]), 255);
    EXPECT_EQ(Scan(image).Series.size(), 255u);

    TChartDataWriter writer;
    try {
        writer.Begin(0, 1, 256, 0);
        FAIL() << "256 series accepted";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QLatin1String("at most 255"))) << e.what();
        EXPECT_TRUE(e.Message().contains(QLatin1String("256"))) << e.what();
    }
}

// The writer never hands out an image whose counts disagree with its content.
TEST(ChartDataFormat, WriterRefusesContentThatDisagreesWithItsCounts)
{
    const TChartPoint points[3] = {{1, 1}, {2, 2}, {3, 3}};
    TChartDataWriter writer;

    writer.Begin(0, 1, 1, 2);
    writer.BeginSeries("a", 2);
    writer.AddPoints(&points[1 - 1], 1);
    EXPECT_THROW(writer.Bytes(), Exception) << "a point missing";
    EXPECT_THROW(writer.AddPoints(points, 2), Exception) << "a point too many";

    writer.Begin(0, 1, 1, 2);
    EXPECT_THROW(writer.BeginSeries("a", 3), Exception) << "more points than the total";

    writer.Begin(0, 1, 2, 2);
    writer.BeginSeries("a", 1);
    EXPECT_THROW(writer.BeginSeries("b", 1), Exception) << "series begun before the last one is full";
    writer.AddPoints(&points[1 - 1], 1);
    writer.BeginSeries("b", 1);
    writer.AddPoints(&points[2 - 1], 1);
    EXPECT_THROW(writer.BeginSeries("c", 0), Exception) << "a series too many";
    EXPECT_EQ(writer.Bytes().size(), 18 + 2 * 104 + 2 * 16);
}

// A file cut anywhere keeps the series stored whole before the cut and says
// what is missing; cut inside its header it cannot be read at all.
TEST(ChartDataFormat, EveryCutKeepsTheWholeSeriesBeforeItAndNamesTheFile)
{
    const QByteArray image = Write(0, 1, {{"first", {{1, 2}, {3, 4}}}, {"second", {{5, 6}}}});
    const qsizetype firstEnd = 18 + 104 + 32;
    EXPECT_TRUE(Scan(image).Damage.isEmpty());
    for (qsizetype size = 0; size < image.size(); ++size) {
        const QString message = ScanError(image.left(size));
        EXPECT_TRUE(message.startsWith(QStringLiteral("The file \"/videos/run 7.bcd\" is damaged: ")))
            << "cut at " << size << ": " << message.toStdString();
        if (size >= 18) {
            EXPECT_EQ(Scan(image.left(size)).Series.size(), size >= firstEnd ? 1u : 0u) << "cut at " << size;
        }
    }
}

TEST(ChartDataFormat, CountsAreReadAsTheFormatSaysAndOnlyMissingBytesAreDamage)
{
    // Two series: "first" with two points, "second" with one point.
    const QByteArray valid = Write(0, 1, {{"first", {{1, 2}, {3, 4}}}, {"second", {{5, 6}}}});
    const qsizetype secondCount = 18 + 104 + 32 + 100;
    const auto withCount = [&](qsizetype offset, qint32 count) {
        QByteArray image = valid;
        qToLittleEndian<qint32>(count, image.data() + offset);
        return image;
    };
    const auto withSeriesCount = [&](uchar count) {
        QByteArray image = valid;
        image[17] = char(count);
        return image;
    };
    // A count of 0 or below reads no points: the next series header follows
    // the count at once.
    const auto negativeFirst = [&](qint32 count) {
        QByteArray image = Write(0, 1, {{"first", {}}, {"second", {{5, 6}}}});
        qToLittleEndian<qint32>(count, image.data() + 18 + 100);
        return image;
    };
    struct TCase {
        const char* Name;
        QByteArray Image;
        std::vector<qint64> PointCounts;  // of the series read
        const char* Damage;               // nullptr for a whole file
    };
    const TCase cases[] = {
        {"series count too large", withSeriesCount(3), {2, 1}, "it ends after 2 of the 3 series it announces"},
        {"series count too small", withSeriesCount(1), {2}, nullptr},
        {"point count one too large", withCount(secondCount, 2), {2},
         "series 2 announces 2 points (32 bytes) but only 16 bytes follow"},
        {"point count far too large", withCount(secondCount, 0x7FFFFFFF), {2},
         "series 2 announces 2147483647 points (34359738352 bytes) but only 16 bytes follow"},
        {"point count too small", withCount(secondCount, 0), {2, 0}, nullptr},
        {"negative point count", negativeFirst(-1), {0, 1}, nullptr},
        {"most negative point count", negativeFirst(std::numeric_limits<qint32>::min()), {0, 1}, nullptr},
        {"trailing bytes", valid + QByteArray(4, 'x'), {2, 1}, nullptr},
        {"header cut", valid.left(18 + 104 + 32 + 50), {2}, "it ends inside the header of series 2 of 2"},
    };
    for (const TCase& c : cases) {
        const TChartDataLayout layout = Scan(c.Image);
        std::vector<qint64> counts;
        for (const TSeriesRecord& series : layout.Series)
            counts.push_back(series.PointCount);
        EXPECT_EQ(counts, c.PointCounts) << c.Name;
        EXPECT_EQ(layout.Damage, c.Damage ? QStringLiteral("The file \"/videos/run 7.bcd\" is damaged: %1.").arg(c.Damage)
                                          : QString())
            << c.Name;
    }
    const TChartDataLayout negative = Scan(negativeFirst(-1));
    EXPECT_EQ(negative.Series.at(1).Title, "second");
    EXPECT_TRUE(SamePoints(Points(negativeFirst(-1), negative, 1), {{5, 6}}));
}

TEST(ChartDataFormat, AFileWithoutAUsableTimeRangeIsRefused)
{
    struct TCase {
        const char* Name;
        QByteArray Image;
        const char* What;
    };
    const TCase cases[] = {
        {"empty", QByteArray(), "it has 0 bytes, fewer than the 18 bytes of its header"},
        {"time range not finite", Write(std::numeric_limits<double>::quiet_NaN(), 1, {}),
         "its time range (nan to 1) is not a pair of finite numbers"},
        {"endless time range", Write(0, std::numeric_limits<double>::infinity(), {{"a", {{1, 2}}}}),
         "its time range (0 to inf) is not a pair of finite numbers"},
    };
    for (const TCase& c : cases) {
        try {
            Scan(c.Image);
            ADD_FAILURE() << c.Name << " accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("The file \"/videos/run 7.bcd\" is damaged: %1.").arg(c.What)) << c.Name;
        }
    }
}

TEST(ChartDataFormat, FormatByteIsNotChecked)
{
    QByteArray image = Write(2, 3, {{"a", {{1, 2}}}});
    image[0] = char(0x7F);
    EXPECT_EQ(Scan(image).Series.size(), 1u);
}

} // namespace
