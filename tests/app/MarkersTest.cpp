#include "chart/CurrentValues.h"
#include "app/SpanMeasure.h"
#include "chart/SpanMarkers.h"
#include "chartdata/ChartData.h"
#include "tests/app/MainWindowFixture.h"

#include <QLabel>
#include <QListWidget>

#include <cmath>

namespace {

class Markers : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        OpenVideo(100, At(7, 0));
    }

    void CtrlClickChart(TDateTime t)
    {
        QCustomPlot* plot = Chart().Plot();
        const QPoint at(ColumnOf(t) - plot->x(), plot->height() / 2);
        QTest::mousePress(plot, Qt::LeftButton, Qt::ControlModifier, at);
        QTest::mouseRelease(plot, Qt::LeftButton, Qt::ControlModifier, at);
    }

    // Whether the chart shows the markers' colour in the middle of a column.
    bool MarkerDrawnAt(TDateTime t)
    {
        Chart().ReplotNow();
        const QImage image = Chart().grab().toImage();
        const int x = ColumnOf(t);
        for (int y = Chart().PlotRect().top(); y < Chart().PlotRect().bottom(); ++y)
            if (QColor(image.pixel(x, y)) == TSpanMarkers::Color)
                return true;
        return false;
    }

    QString Spoken() const { return window->lblMeasure->accessibleDescription(); }
};

} // namespace

TEST_F(Markers, CtrlClicksSetATheBThenAAgainEscRemovesBothAndAPlainClickStillSeeks)
{
    TDateTime a = 0;
    TDateTime b = 0;
    const int seeks = player->SeekCount;
    CtrlClickChart(At(7, 0, 20));
    EXPECT_FALSE(window->MarkedSpan(a, b));
    EXPECT_FALSE(window->lblMeasure->isVisible());
    EXPECT_TRUE(MarkerDrawnAt(At(7, 0, 20)));
    // A Ctrl+click places a marker without moving the video.
    EXPECT_EQ(player->SeekCount, seeks);

    CtrlClickChart(At(7, 1, 10));
    ASSERT_TRUE(window->MarkedSpan(a, b));
    EXPECT_NEAR((b - a) * SecondsPerDay, 50, 0.2);
    EXPECT_TRUE(window->lblMeasure->isVisible());
    EXPECT_TRUE(MarkerDrawnAt(At(7, 1, 10)));

    // The third sets A again: the span now runs from B to the new A.
    CtrlClickChart(At(7, 1, 30));
    ASSERT_TRUE(window->MarkedSpan(a, b));
    EXPECT_NEAR((a - At(7, 1, 10)) * SecondsPerDay, 0, 0.2);
    EXPECT_NEAR((b - At(7, 1, 30)) * SecondsPerDay, 0, 0.2);
    EXPECT_FALSE(MarkerDrawnAt(At(7, 0, 20)));

    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->MarkedSpan(a, b));
    EXPECT_FALSE(window->lblMeasure->isVisible());
    EXPECT_FALSE(MarkerDrawnAt(At(7, 1, 30)));

    // The key M sets the markers at the cursor.
    PressChart(ColumnOf(At(7, 0, 40)), Chart().height() / 2);
    EXPECT_EQ(player->SeekCount, seeks + 1);
    QTest::keyClick(window.get(), Qt::Key_M);
    window->MarkSerie->SetX0(At(7, 0, 45));
    window->MarkSerie->SetX1(At(7, 0, 45));
    QTest::keyClick(window.get(), Qt::Key_M);
    ASSERT_TRUE(window->MarkedSpan(a, b));
    EXPECT_NEAR((b - a) * SecondsPerDay, 5, 0.2);
}

TEST_F(Markers, MeasurementReadsEachShownSeriesBetweenAAndB)
{
    // Ten points a second from 07:00:00, values that step by a quarter.
    TFastLineSeries* speed = AddChartSeries(Chart(), "speed");
    TFastLineSeries* hidden = AddChartSeries(Chart(), "hidden");
    for (int i = 0; i <= 1000; ++i) {
        speed->AddXY(At(7, 0, i / 10.0), (i % 40) * 0.25);
        hidden->AddXY(At(7, 0, i / 10.0), 1);
    }
    window->FillLegend();
    window->lvwLegend->item(1)->setCheckState(Qt::Unchecked);

    window->PlaceMarker(At(7, 0, 1.25));
    window->PlaceMarker(At(7, 0, 3.5));
    // From 1.3 s to 3.5 s: 23 points; values at A (the next sample, 1.3 s)
    // and B: 13 * 0.25 and 35 % 40 * 0.25.
    double sum = 0;
    double min = INFINITY;
    double max = -INFINITY;
    for (int i = 13; i <= 35; ++i) {
        const double v = (i % 40) * 0.25;
        sum += v;
        min = std::min(min, v);
        max = std::max(max, v);
    }
    const QLocale locale;
    const QString expected = QStringLiteral("A 07:00:01.250  B 07:00:03.500  \u0394t 2.250 s, speed  A 3.25  B 8.75  "
                                            "\u0394 5.5  min %1  max %2  mean %3")
                                 .arg(FormatCurrentValue(min, locale), FormatCurrentValue(max, locale),
                                      FormatCurrentValue(sum / 23, locale));
    EXPECT_EQ(Spoken(), expected);
    EXPECT_TRUE(window->lblMeasure->text().contains(speed->SeriesColor().name()));

    // The hidden series, ticked again, is measured too.
    window->lvwLegend->item(1)->setCheckState(Qt::Checked);
    window->UpdateControls();
    EXPECT_TRUE(Spoken().endsWith(QStringLiteral("hidden  A 1  B 1  \u0394 0  min 1  max 1  mean 1"))) << Spoken().toStdString();
}

TEST(SpanMeasure, FiguresWithoutAValueShowAsADash)
{
    const TSeriesMeasure measure{QStringLiteral("s"), Qt::black, 2, NAN, {0, NAN, NAN, NAN}};
    EXPECT_EQ(MeasureSeriesText(measure, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("s  A 2  B -  \u0394 -  min -  max -  mean -"));
}
