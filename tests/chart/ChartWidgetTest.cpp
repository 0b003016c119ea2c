#include "chart/Chart.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

class ChartWidget : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart.resize(600, 200);
        cursor = chart.AddSeries(std::make_unique<TChartShape>());
        line = chart.AddSeries(std::make_unique<TFastLineSeries>());
        line->SetLineWidth(2);
        line->AddXY(0, 20);
        line->AddXY(100, 20);
        chart.BottomAxis().SetMinMax(0, 100);
        cursor->SetX0(30);
        cursor->SetX1(30);
        cursor->SetY0(0);
        cursor->SetY1(40);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        chart.ReplotNow();
    }

    QPoint PixelOf(double x, double y) const
    {
        const QCustomPlot* plot = chart.Plot();
        return QPoint(qRound(plot->xAxis->coordToPixel(x)), qRound(plot->yAxis->coordToPixel(y))) + plot->pos();
    }

    TChart chart;
    TChartShape* cursor = nullptr;
    TFastLineSeries* line = nullptr;
};

} // namespace

TEST_F(ChartWidget, PressesTellASeriesFromTheBackground)
{
    QSignalSpy series(&chart, &TChart::ClickSeries);
    QSignalSpy background(&chart, &TChart::ClickBackground);

    QTest::mousePress(chart.Plot(), Qt::LeftButton, Qt::NoModifier, PixelOf(30, 35) - chart.Plot()->pos());
    ASSERT_EQ(series.count(), 1);
    EXPECT_EQ(series.at(0).at(0).value<TChartSeries*>(), cursor);

    QTest::mousePress(chart.Plot(), Qt::LeftButton, Qt::ShiftModifier, PixelOf(70, 20) - chart.Plot()->pos());
    ASSERT_EQ(series.count(), 2);
    EXPECT_EQ(series.at(1).at(0).value<TChartSeries*>(), line);
    EXPECT_EQ(series.at(1).at(3).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);

    const QPoint empty = PixelOf(70, 35);
    QTest::mousePress(chart.Plot(), Qt::MiddleButton, Qt::NoModifier, empty - chart.Plot()->pos());
    ASSERT_EQ(background.count(), 1);
    EXPECT_EQ(background.at(0).at(0).value<Qt::MouseButton>(), Qt::MiddleButton);
    EXPECT_EQ(background.at(0).at(2).toInt(), empty.x());
    EXPECT_EQ(background.at(0).at(3).toInt(), empty.y());
}

TEST_F(ChartWidget, RightPressOpensThePopupMenu)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Clear Chart Data"));
    chart.SetPopupMenu(&menu);
    QTest::mousePress(chart.Plot(), Qt::RightButton, Qt::NoModifier, PixelOf(70, 35) - chart.Plot()->pos());
    EXPECT_TRUE(menu.isVisible());
    menu.close();
}

TEST_F(ChartWidget, PixelColumnsMapToTimesAlsoOutsideThePlot)
{
    const QRect plot = chart.PlotRect();
    const TTimeAxis& axis = chart.BottomAxis();
    EXPECT_NEAR(axis.CalcPosPoint(plot.left()), 0, 1e-9);
    EXPECT_LT(axis.CalcPosPoint(plot.left() - 20), 0);
    EXPECT_GT(axis.CalcPosPoint(plot.left() + plot.width() + 20), 100);
    EXPECT_NEAR(axis.CalcPosPoint(PixelOf(40, 0).x()), 40, 100.0 / plot.width());
}

// The time labels are spaced for the plot's width on the first drawing at a
// new size, wider or narrower, not only on the drawing after it.
TEST_F(ChartWidget, TimeLabelsFitTheFirstDrawingAtANewSize)
{
    const QCPAxis* time = chart.Plot()->xAxis;
    const int labelWidth = QFontMetrics(time->tickLabelFont()).horizontalAdvance(QStringLiteral("00:00"));
    for (const int width : {150, 900, 300}) {
        chart.resize(width, 200);
        chart.ReplotNow();
        const QVector<double> ticks = time->tickVector();
        ASSERT_GE(ticks.size(), 2) << width << " px";
        const double spacing = time->coordToPixel(ticks[1]) - time->coordToPixel(ticks[0]);
        EXPECT_GE(spacing, labelWidth) << width << " px";
        EXPECT_LE(spacing, chart.PlotRect().width() / 2.0) << width << " px";
    }
}

TEST_F(ChartWidget, MovingTheCursorRedrawsOnlyItsOwnLayer)
{
    QSignalSpy fullReplots(chart.Plot(), &QCustomPlot::beforeReplot);
    cursor->SetX0(60);
    cursor->SetX1(60);
    QTest::qWait(50);
    EXPECT_EQ(fullReplots.count(), 0);

    const QImage picture = chart.grab().toImage();
    const QPoint at = PixelOf(60, 30);
    EXPECT_EQ(picture.pixelColor(at), QColor(Qt::black));
    EXPECT_NE(picture.pixelColor(PixelOf(30, 30)), QColor(Qt::black));

    // A cursor outside the visible range is not drawn at all.
    cursor->SetX0(150);
    cursor->SetX1(150);
    QTest::qWait(50);
    const QImage hidden = chart.grab().toImage();
    const QRect plot = chart.PlotRect();
    for (int x = plot.left() + 2; x <= plot.right() - 2; ++x)
        ASSERT_NE(hidden.pixelColor(x, PixelOf(0, 30).y()), QColor(Qt::black)) << x;
}

// A load that lets events run between its blocks does not redraw the chart
// for each block: the redraws wait for the hold, nested or not, and one
// follows it.
TEST_F(ChartWidget, HeldRedrawsWaitAndOneFollows)
{
    QSignalSpy fullReplots(chart.Plot(), &QCustomPlot::beforeReplot);
    {
        const TChartReplotHold outer(chart);
        for (int block = 0; block < 3; ++block) {
            const TChartReplotHold inner(chart);
            line->AddXY(block, block);
            QTest::qWait(20);
        }
        line->AddXY(50, 50);
        QTest::qWait(20);
        EXPECT_EQ(fullReplots.count(), 0);
    }
    QTest::qWait(50);
    EXPECT_EQ(fullReplots.count(), 1);
}
