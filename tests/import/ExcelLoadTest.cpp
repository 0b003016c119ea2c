#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "common/Exception.h"
#include "import/ExcelLoad.h"
#include "tests/support/TestWorkbooks.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<double, double>>;

TDateTime Time(int h, int m, int s = 0)
{
    return (h * 3600.0 + m * 60.0 + s) / SecondsPerDay;
}

// Loads the letters (0 is "A") of a worksheet into new series of a chart the
// way the Excel tab does, and gives each series' points.
class ExcelLoad : public ::testing::Test {
protected:
    ExcelLoad() { mChart.AddSeries(std::make_unique<TChartShape>()); }

    std::vector<Points> Load(const QString& name, int sheet, int timeLetter, const std::vector<int>& dataLetters,
                             const TLoadWindow& window, TLoadProgress* progress = nullptr)
    {
        std::vector<TFastLineSeries*> series;
        for (int letter : dataLetters) {
            TFastLineSeries* one = AddChartSeries(mChart, QByteArray(1, char('A' + letter)));
            one->SetTag(letter);
            series.push_back(one);
        }
        LoadWorksheet(TestWorkbook(name), sheet, timeLetter + 1, window, series, progress);
        return PointsOf(series);
    }

    static std::vector<Points> PointsOf(const std::vector<TFastLineSeries*>& series)
    {
        std::vector<Points> points;
        for (const TFastLineSeries* one : series) {
            points.emplace_back();
            for (int i = 0; i < one->Count(); ++i)
                points.back().emplace_back(one->XValue(i), one->YValue(i));
        }
        return points;
    }

    TChart mChart;
};

// Keeps the steps it hears; cancels at the first when asked to.
class TRecordedProgress : public TLoadProgress {
public:
    explicit TRecordedProgress(bool cancel = false) : mCancel(cancel) {}
    bool Step(qint64 done, qint64 total) override
    {
        Steps.emplace_back(done, total);
        return !mCancel;
    }
    std::vector<std::pair<qint64, qint64>> Steps;

private:
    bool mCancel;
};

// From 08:00:00 for ten seconds, on day 0.
const TLoadWindow TenSeconds = MakeLoadWindow(Time(8, 0), 10);

} // namespace

TEST_F(ExcelLoad, RowsWithANumberOrDateTimeInTheWindowGiveTheNumbersOfTheirRowInEveryFormat)
{
    // The header of texts, a time before the window, both ends, a text data
    // cell, an empty one, a time written as a plain number, a time with a
    // date part (outside a window on day 0), a time after the window and a
    // time written as text. Column F holds a currency amount.
    const std::vector<Points> expected = {
        {{Time(8, 0), 1}, {Time(8, 0, 5), 2}, {Time(8, 0, 10), 4}},
        {{Time(8, 0), 10}, {Time(8, 0, 6), 30}, {Time(8, 0, 10), 40}},
        {{Time(8, 0), 12.5}},
    };
    for (const char* name : {"load.xlsx", "load.ods", "load.xls"}) {
        const std::vector<Points> points = Load(name, 1, 0, {1, 3, 5}, TenSeconds);
        ASSERT_EQ(points.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k) {
            ASSERT_EQ(points[k].size(), expected[k].size()) << name << " series " << k;
            for (std::size_t i = 0; i < expected[k].size(); ++i) {
                EXPECT_NEAR(points[k][i].first, expected[k][i].first, 1e-9) << name << " series " << k;
                EXPECT_EQ(points[k][i].second, expected[k][i].second) << name << " series " << k;
            }
        }
    }
}

TEST_F(ExcelLoad, ATimeWithItsDateLoadsInAWindowOnThatDateAndKeepsIt)
{
    const TDateTime day = EncodeDate(QDate(2024, 3, 1));
    const std::vector<Points> points = Load("load.xlsx", 1, 0, {1}, MakeLoadWindow(day + Time(8, 0), 10));
    ASSERT_EQ(points[0].size(), 1u);
    EXPECT_NEAR(points[0][0].first, day + Time(8, 0, 7), 1e-9);
    EXPECT_EQ(points[0][0].second, 98);
}

TEST_F(ExcelLoad, TheTimeColumnAsDataPlotsTheTimesThemselves)
{
    const std::vector<Points> points = Load("load.xlsx", 1, 0, {0}, TenSeconds);
    ASSERT_EQ(points[0].size(), 4u);
    for (const auto& [x, y] : points[0])
        EXPECT_EQ(x, y);
}

TEST_F(ExcelLoad, LettersNameTheWorksheetsOwnColumnsAndColumnsOutsideTheUsedRangeAreEmpty)
{
    // The used range is B3:D5: "B" holds the times, "C" the values, "A" and
    // "E" lie outside it.
    const TLoadWindow window = MakeLoadWindow(Time(8, 0), 60);
    const std::vector<Points> points = Load("range.xlsx", 0, 1, {0, 2, 4}, window);
    EXPECT_EQ(points[0], Points());
    EXPECT_EQ(points[1], Points({{Time(8, 0, 1), 1}, {Time(8, 0, 2), 2}}));
    EXPECT_EQ(points[2], Points());
    // A time column outside the used range loads nothing.
    EXPECT_EQ(Load("range.xlsx", 0, 25, {2}, window)[0], Points());
}

TEST_F(ExcelLoad, CurrencySkipsItsRowAsATime)
{
    // kinds.xlsx: column B holds the currency amount 12.5 in rows 5 and 6,
    // and the plain number 7 in row 12.
    EXPECT_EQ(Load("kinds.xlsx", 0, 1, {1}, TLoadWindow{12, 13})[0], Points());
    EXPECT_EQ(Load("kinds.xlsx", 0, 1, {1}, TLoadWindow{6.5, 7.5})[0], Points({{7, 7}}));
}

TEST_F(ExcelLoad, XlsBooleansErrorsCurrencyAndMillisecondsAsTimesAndValues)
{
    // Times in A and values in B: a boolean value; a boolean, an error and a
    // currency amount as times; a time 10 ms past the window; a time and a
    // value (in cells.xls stored results of formulas); an error value; the
    // window's end. skips.xls is written by xlwt.
    for (const auto& [name, sheet] : {std::pair("cells.xls", 1), std::pair("skips.xls", 0)}) {
        SCOPED_TRACE(name);
        const std::vector<Points> points = Load(name, sheet, 0, {1}, TenSeconds);
        EXPECT_EQ(points[0].size(), 2u);
        ASSERT_GE(points[0].size(), 1u);
        EXPECT_NEAR(points[0][0].first, Time(8, 0, 3), 1e-9);
        EXPECT_EQ(points[0][0].second, 9);
        EXPECT_NEAR(points[0].back().first, Time(8, 0, 10), 1e-9);
        EXPECT_EQ(points[0].back().second, 10);
    }
}

TEST_F(ExcelLoad, AHugeCellLoadsWithoutItWhileTheProgressCountsTheBytesRead)
{
    // hugecell.xlsx: B1 holds 60 MB of digits, B2 the number 2; times in A.
    TRecordedProgress progress;
    const std::vector<Points> points = Load("hugecell.xlsx", 0, 0, {1}, TLoadWindow{0, 1}, &progress);
    EXPECT_EQ(points[0], Points({{0.75, 2}}));
    ASSERT_GT(progress.Steps.size(), 100u);
    for (const auto& [done, total] : progress.Steps) {
        EXPECT_GT(total, 60 << 20);
        EXPECT_LE(done, total);
    }
    EXPECT_EQ(progress.Steps.back().first, progress.Steps.back().second);

    TRecordedProgress cancel(true);
    EXPECT_THROW(Load("hugecell.xlsx", 0, 0, {1}, TLoadWindow{0, 1}, &cancel), LoadCancelled);
    EXPECT_EQ(cancel.Steps.size(), 1u);
}

TEST_F(ExcelLoad, RepeatedOdsRowsGiveAPointEach)
{
    // kinds.ods: rows 11 and 12 are one row repeated, 8 in column B.
    const std::vector<Points> points = Load("kinds.ods", 0, 1, {1}, TLoadWindow{7.5, 8.5});
    EXPECT_EQ(points[0], Points({{8, 8}, {8, 8}}));
}

TEST_F(ExcelLoad, AnErrorKeepsThePointsReadBeforeIt)
{
    // late.xlsx: two rows of a time and a value, then a cell outside any
    // worksheet.
    std::vector<TFastLineSeries*> series = {AddChartSeries(mChart, "B")};
    series[0]->SetTag(1);
    EXPECT_THROW(LoadWorksheet(TestWorkbook("late.xlsx"), 0, 1, TLoadWindow{0, 1}, series), Exception);
    EXPECT_EQ(PointsOf(series)[0], Points({{0.5, 1}, {0.75, 2}}));
}
