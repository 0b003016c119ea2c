#include "chart/SpanMarkers.h"
#include "chartdata/ChartData.h"
#include "common/LanesChoice.h"
#include "tests/app/MainWindowFixture.h"

#include <QAction>
#include <QListWidget>

#include <set>
#include <vector>

namespace {

const QString VideoA = QStringLiteral("/nonexistent/lanes-a.mp4");
const QString VideoB = QStringLiteral("/nonexistent/lanes-b.mp4");

// Three series of very different values over a minute of video, shown in
// lanes.
class Lanes : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ForgetChoices();
        OpenVideo(60, At(10, 0), VideoA);
        const double values[][2] = {{1, 5}, {-10, 0}, {100, 200}};
        for (int i = 0; i < 3; ++i)
            AddSeries(values[i][0], values[i][1]);
        window->FitCursorHeight();
        window->FillLegend();
        window->UpdateControls();
        window->miLanes->trigger();
        Chart().ReplotNow();
    }

    void TearDown() override
    {
        ForgetChoices();
        MainWindow::TearDown();
    }

    static void ForgetChoices()
    {
        RememberLanes(VideoA, false);
        RememberLanes(VideoB, false);
    }

    // A series rising from `from` to `to` across the video, 3 px wide so that
    // its own colour shows unblended.
    void AddSeries(double from, double to)
    {
        TFastLineSeries* series = AddChartSeries(Chart(), "Series " + QByteArray::number(Chart().SeriesCount()));
        series->SetLineWidth(3);
        for (int s = 0; s <= 60; s += 5)
            series->AddXY(At(10, 0, s), from + (to - from) * s / 60);
    }

    QImage Picture() const
    {
        Chart().ReplotNow();
        return Chart().grab().toImage();
    }

    // The lanes (by number) in which a colour is drawn; -1 stands for a pixel
    // outside every lane. A wide line at a lane's edge may reach a pixel or two
    // past it, as it does past the plot area on one axis.
    std::set<int> LanesWithColour(const QImage& picture, const QColor& colour) const
    {
        std::set<int> lanes;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixelColor(x, y) != colour)
                    continue;
                int lane = -1;
                for (int k = 0; k < Chart().LaneCount() && lane < 0; ++k)
                    lane = Chart().LaneRect(k).adjusted(-2, -2, 2, 2).contains(x, y) ? k : -1;
                lanes.insert(lane);
            }
        }
        return lanes;
    }

    // Whether a colour is drawn at a column inside every lane (the edges,
    // where the axes are, left out).
    bool DrawnAcrossLanes(const QImage& picture, int x, const QColor& colour) const
    {
        for (int k = 0; k < Chart().LaneCount(); ++k) {
            const QRect lane = Chart().LaneRect(k);
            bool found = false;
            for (int y = lane.top() + 1; y < lane.bottom() && !found; ++y)
                found = picture.pixelColor(x, y) == colour;
            if (!found)
                return false;
        }
        return true;
    }

    void Click(int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QCustomPlot* plot = Chart().Plot();
        QTest::mouseClick(plot, Qt::LeftButton, modifiers, QPoint(x, y) - plot->pos());
    }
};

} // namespace

TEST_F(Lanes, EverySeriesIsDrawnInItsOwnLaneUnderOneTimeAxis)
{
    ASSERT_TRUE(Chart().LanesShown());
    ASSERT_EQ(Chart().LaneCount(), 3);
    EXPECT_EQ(window->miLanes->text(), "One Shared Axis");
    const QImage picture = Picture();
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(LanesWithColour(picture, SeriesColors[k + 1]), std::set<int>({k})) << "series " << k + 1;
        // Stacked top to bottom, one above the next, all as wide as the first.
        if (k > 0) {
            EXPECT_GT(Chart().LaneRect(k).top(), Chart().LaneRect(k - 1).bottom());
            EXPECT_EQ(Chart().LaneRect(k).left(), Chart().LaneRect(0).left());
            EXPECT_EQ(Chart().LaneRect(k).width(), Chart().LaneRect(0).width());
        }
    }
    EXPECT_EQ(Chart().PlotRect(), Chart().LaneRect(0).united(Chart().LaneRect(2)));

    // Back to one axis: every series shares it.
    window->miLanes->trigger();
    EXPECT_EQ(window->miLanes->text(), "One Lane per Series");
    const QImage shared = Picture();
    EXPECT_FALSE(Chart().LanesShown());
    EXPECT_EQ(Chart().LaneCount(), 1);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(LanesWithColour(shared, SeriesColors[k + 1]), std::set<int>({0})) << "series " << k + 1;
}

TEST_F(Lanes, TheCursorTheMarkersAndTheSpanBeingChosenCrossEveryLane)
{
    window->MarkSerie->SetX0(At(10, 0, 30));
    window->MarkSerie->SetX1(At(10, 0, 30));
    EXPECT_TRUE(DrawnAcrossLanes(Picture(), ColumnOf(At(10, 0, 30)), Qt::black));

    const int y = Chart().LaneRect(1).center().y();
    Click(ColumnOf(At(10, 0, 10)), y, Qt::ControlModifier);
    Click(ColumnOf(At(10, 0, 50)), y, Qt::ControlModifier);
    TDateTime a = 0;
    TDateTime b = 0;
    ASSERT_TRUE(window->MarkedSpan(a, b));
    const QImage marked = Picture();
    EXPECT_TRUE(DrawnAcrossLanes(marked, ColumnOf(a), TSpanMarkers::Color));
    EXPECT_TRUE(DrawnAcrossLanes(marked, ColumnOf(b), TSpanMarkers::Color));

    // A Shift+drag shades what it chooses in every lane, then zooms to it.
    QCustomPlot* plot = Chart().Plot();
    const QPoint from = QPoint(ColumnOf(At(10, 0, 15)), y) - plot->pos();
    const QPoint to = QPoint(ColumnOf(At(10, 0, 25)), y) - plot->pos();
    const QImage before = Picture();
    QTest::mousePress(plot, Qt::LeftButton, Qt::ShiftModifier, from);
    QTest::mouseMove(plot, to);
    const QImage choosing = Picture();
    const int middle = ColumnOf(At(10, 0, 20));
    for (int k = 0; k < Chart().LaneCount(); ++k) {
        const int laneTop = Chart().LaneRect(k).top() + 2;
        EXPECT_NE(choosing.pixelColor(middle, laneTop), before.pixelColor(middle, laneTop)) << "lane " << k;
    }
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::ShiftModifier, to);
    EXPECT_NEAR((Axis().Maximum() - Axis().Minimum()) * SecondsPerDay, 10, 0.5);
}

TEST_F(Lanes, AClickInAnyLaneSeeksToTheTimeOfItsColumn)
{
    const int x = ColumnOf(At(10, 0, 20));
    std::vector<double> positions;
    for (int k = 0; k < 3; ++k) {
        Click(x, Chart().LaneRect(k).center().y());
        positions.push_back(player->Position);
    }
    EXPECT_NEAR(positions[0], 20, 60.0 / Chart().PlotRect().width());
    EXPECT_EQ(positions[1], positions[0]);
    EXPECT_EQ(positions[2], positions[0]);
}

TEST_F(Lanes, HiddenDeletedAndAddedSeriesChangeTheLanes)
{
    QListWidget* legend = window->lvwLegend;
    legend->item(1)->setCheckState(Qt::Unchecked);
    QImage picture = Picture();
    ASSERT_EQ(Chart().LaneCount(), 2);
    EXPECT_EQ(LanesWithColour(picture, SeriesColors[1]), std::set<int>({0}));
    EXPECT_EQ(LanesWithColour(picture, SeriesColors[2]), std::set<int>());
    EXPECT_EQ(LanesWithColour(picture, SeriesColors[3]), std::set<int>({1}));

    // The first series deleted: the third has the only lane.
    legend->setCurrentRow(0);
    window->miDelete->trigger();
    picture = Picture();
    ASSERT_EQ(Chart().LaneCount(), 1);
    EXPECT_TRUE(Chart().LanesShown());
    EXPECT_EQ(LanesWithColour(picture, SeriesColors[3]), std::set<int>({0}));

    // Nothing shown: the one shared axis, as without lanes.
    legend->item(1)->setCheckState(Qt::Unchecked);
    Picture();
    EXPECT_EQ(Chart().LaneCount(), 1);
    EXPECT_FALSE(Chart().LanesShown());

    // A series added gets a lane of its own.
    legend->item(1)->setCheckState(Qt::Checked);
    AddSeries(1000, 2000);
    window->FillLegend();
    Picture();
    EXPECT_EQ(Chart().LaneCount(), 2);
}

TEST_F(Lanes, TheChoiceComesBackWithTheSameVideoOnly)
{
    OpenVideo(60, At(10, 0), VideoB);
    EXPECT_FALSE(Chart().Laned());
    EXPECT_EQ(window->miLanes->text(), "One Lane per Series");

    OpenVideo(60, At(10, 0), VideoA);
    EXPECT_TRUE(Chart().Laned());
    EXPECT_EQ(window->miLanes->text(), "One Shared Axis");

    // Turned off, it stays off for that video too.
    window->miLanes->trigger();
    OpenVideo(60, At(10, 0), VideoB);
    OpenVideo(60, At(10, 0), VideoA);
    EXPECT_FALSE(Chart().Laned());
}
