#include "chart/CurrentValues.h"
#include "app/DataStrip.h"
#include "chartdata/ChartData.h"
#include "tests/app/MainWindowFixture.h"

#include <QListWidget>

#include <cmath>

TEST(CurrentValues, ShowTheSampleAtOrAfterTheCursorWithinTheSeries)
{
    TChart chart;
    chart.AddSeries(std::make_unique<TChartShape>());
    TFastLineSeries* series = AddChartSeries(chart, "s");
    series->AddXY(At(10, 0), 5);
    series->AddXY(At(10, 0, 10), 7.25);
    TFastLineSeries* empty = AddChartSeries(chart, "empty");
    (void)empty;

    struct Case {
        TDateTime cursor;
        double expected;  // NaN: nothing shown
    };
    const double none = std::nan("");
    const Case cases[] = {
        {At(10, 0), 5}, {At(10, 0, 3), 7.25}, {At(10, 0, 10), 7.25}, {At(9, 59, 59), none}, {At(10, 0, 11), none},
    };
    for (const Case& c : cases) {
        const double value = SeriesValueAt(chart, 1, c.cursor);
        if (std::isnan(c.expected))
            EXPECT_TRUE(std::isnan(value)) << c.cursor;
        else
            EXPECT_EQ(value, c.expected) << c.cursor;
    }
    EXPECT_TRUE(std::isnan(SeriesValueAt(chart, 2, At(10, 0))));
    EXPECT_TRUE(std::isnan(SeriesValueAt(chart, 3, At(10, 0))));

    // Equal times: the first of them, as a scan from the start finds it.
    series->AddXY(At(10, 0, 5), 1);
    series->AddXY(At(10, 0, 5), 2);
    EXPECT_EQ(SeriesValueAt(chart, 1, At(10, 0, 4)), 1);
}

TEST(CurrentValues, AreWrittenWithAtMostThreeDecimalsInTheLocale)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        double value;
        const char* us;
        const char* german;
    };
    const Case cases[] = {
        {3.14159, "3.142", "3,142"}, {123.4567, "123.457", "123,457"}, {2, "2", "2"},
        {0.5, "0.5", "0,5"}, {-0.25, "-0.25", "-0,25"}, {1234567.8, "1234567.8", "1234567,8"},
        {-0.0001, "0", "0"}, {0.9999, "1", "1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatCurrentValue(c.value, us), c.us) << c.value;
        EXPECT_EQ(FormatCurrentValue(c.value, german), c.german) << c.value;
    }
}

TEST_F(MainWindow, TheStripShowsTickedSeriesWithAValueInTheirColours)
{
    OpenVideo(60, At(10, 0));
    TFastLineSeries* a = AddChartSeries(Chart(), "a");
    TFastLineSeries* b = AddChartSeries(Chart(), "b");
    TFastLineSeries* c = AddChartSeries(Chart(), "c");
    a->AddXY(At(10, 0, 10), 3.14159);
    b->AddXY(At(10, 0, 50), 2);  // one sample: a value only at 10:00:50
    c->AddXY(At(10, 0, 20), 1.5);
    c->AddXY(At(10, 0, 30), 2.5);
    window->FillLegend();
    window->UpdateControls();

    auto texts = [this] {
        QStringList result;
        for (const TDataStrip::TEntry& entry : window->pbxData->Entries())
            result << entry.Text;
        return result;
    };
    // The cursor stands at the start: before every series.
    EXPECT_TRUE(texts().isEmpty());

    window->MarkSerie->SetX0(At(10, 0, 10));
    EXPECT_EQ(texts(), QStringList({"3.142"}));
    window->MarkSerie->SetX0(At(10, 0, 25));
    EXPECT_EQ(texts(), QStringList({"2.5"}));
    window->MarkSerie->SetX0(At(10, 0, 20));
    const auto entries = window->pbxData->Entries();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].Color, c->SeriesColor());

    // An unticked series is left out even with a value.
    c->AddXY(At(10, 0, 50), 9);
    window->MarkSerie->SetX0(At(10, 0, 50));
    EXPECT_EQ(texts(), QStringList({"2", "9"}));
    window->lvwLegend->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(texts(), QStringList({"9"}));
}
