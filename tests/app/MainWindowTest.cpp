#include "app/DragZoom.h"
#include "chartdata/ChartData.h"
#include "multivideo/VideoSet.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/UiDriver.h"

#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QListWidget>
#include <QMenu>
#include <QToolButton>

namespace {

bool ShowsGlyph(const QToolButton* button, const QPixmap& glyph)
{
    return button->icon().pixmap(32, 32).toImage() == glyph.toImage();
}

} // namespace

TEST_F(MainWindow, StartsWithoutAVideoAndIgnoresTheChartCommands)
{
    EXPECT_EQ(window->windowTitle(), "Vorlan Plotreel");
    EXPECT_TRUE(window->sbnOpenVideo->isEnabled());
    EXPECT_FALSE(window->sbnOpenData->isEnabled());
    EXPECT_FALSE(window->sbnSaveData->isEnabled());
    EXPECT_TRUE(window->sbnAbout->isEnabled());
    EXPECT_FALSE(Chart().isEnabled());
    EXPECT_FALSE(window->lvwLegend->isVisible());
    EXPECT_EQ(window->lblCurrentTime->text(), "");
    EXPECT_EQ(window->pnlTop->height(), 37);
    EXPECT_EQ(window->pnlBottom->height(), 240);
    EXPECT_EQ(window->pnlTools->height(), 40);

    for (QToolButton* button : {window->sbnZoomIn, window->sbnZoomOut, window->sbnZoomOriginal})
        button->click();
    TurnWheel(Chart().Plot(), Chart().Plot()->rect().center(), -120);
    EXPECT_EQ(Axis().Minimum(), 0);
    EXPECT_EQ(Axis().Maximum(), 101);

    window->sbnPlayPause->click();
    EXPECT_FALSE(player->Playing());
    EXPECT_TRUE(ShowsGlyph(window->sbnPlayPause, window->imgPlay));

    // Resizing keeps the panels' heights; the video takes the rest.
    window->resize(1000, 900);
    QTest::qWait(20);
    EXPECT_EQ(window->pnlTop->height(), 37);
    EXPECT_EQ(window->pnlBottom->height(), 240);
    EXPECT_EQ(window->pnlClient->height(), 900 - 37 - 240);
}

TEST_F(MainWindow, OpeningAVideoSpansTheTimeAxisOverIt)
{
    OpenVideo(90, At(12, 0));
    EXPECT_NEAR(Axis().Minimum(), At(12, 0), 1e-12);
    EXPECT_NEAR(Axis().Maximum(), At(12, 1, 30), 1e-12);
    EXPECT_EQ(window->DefaultAxisMin, Axis().Minimum());
    EXPECT_EQ(window->DefaultAxisMax, Axis().Maximum());
    EXPECT_EQ(window->VideoDuration, 90.0f);
    EXPECT_EQ(window->MarkSerie->X0(), Axis().Minimum());
    EXPECT_TRUE(Chart().isEnabled());
    EXPECT_TRUE(window->sbnOpenData->isEnabled());
    EXPECT_FALSE(window->sbnSaveData->isEnabled());
    EXPECT_EQ(window->lblCurrentTime->text(), "12:00:00 PM");
    EXPECT_EQ(window->VideoFileName, "/nonexistent/clip.mp4");
}

// The video before stays open where it was, with its series and the videos
// added beside it: no half-open window.
TEST_F(MainWindow, AVideoThatCannotBePlayedChangesNothing)
{
    OpenVideo(90);
    TFastLineSeries* series = AddChartSeries(Chart(), "Temperature");
    series->AddXY(At(0, 0, 10), 20);
    window->Videos().Add({QStringLiteral("/nonexistent/side.mp4"), 0.5}, 0, false);
    window->UpdateControls();
    player->SetPosition(12.5f);
    QTemporaryDir folder;
    const QString notAVideo = folder.filePath(QStringLiteral("not-a-video.mp4"));
    QFile(notAVideo).open(QIODevice::WriteOnly);
    player->Unplayable[notAVideo] = QStringLiteral("The video or audio codec is not supported.");
    ModalBoxCatcher boxes;
    AnswerFileDialog(notAVideo);
    window->sbnOpenVideo->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Boxes().size() == 1; }));
    EXPECT_EQ(boxes.Boxes().at(0).Title, "Error");
    EXPECT_EQ(boxes.Boxes().at(0).Text, "The video or audio codec is not supported.");
    EXPECT_EQ(window->VideoFileName, "/nonexistent/clip.mp4");
    EXPECT_EQ(window->VideoDuration, 90.0f);
    EXPECT_NEAR(Axis().Maximum(), At(0, 1, 30), 1e-12);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(player->OpenedFile, "/nonexistent/clip.mp4");
    EXPECT_EQ(player->GetPosition(), 12.5f);
    EXPECT_EQ(window->Videos().Count(), 1);
    EXPECT_EQ(Chart().SeriesCount(), 2);
    for (const QToolButton* button : {window->sbnOpenData, window->sbnSaveData, window->sbnExport, window->sbnAddVideo})
        EXPECT_TRUE(button->isEnabled()) << button->toolTip().toStdString();
    EXPECT_TRUE(Chart().isEnabled());
}

TEST_F(MainWindow, PositionReportsMoveTheCursorAndScrollTheView)
{
    OpenVideo(20 * 60, At(10, 0));
    Axis().SetMinMax(At(10, 0), At(10, 10));
    player->ReportPosition(600.5f);
    EXPECT_NEAR(window->MarkSerie->X0(), At(10, 10, 0.5), 1e-9);
    EXPECT_EQ(window->MarkSerie->X1(), window->MarkSerie->X0());
    EXPECT_NEAR(Axis().Minimum(), At(10, 0, 30.5), 1e-9);
    EXPECT_NEAR(Axis().Maximum(), At(10, 10, 30.5), 1e-9);
    EXPECT_EQ(window->lblCurrentTime->text(), "10:10:00 AM");

    // Near the end the view stops at the end of the video.
    Axis().SetMinMax(At(10, 9, 50), At(10, 19, 50));
    player->ReportPosition(1190.5f);
    EXPECT_NEAR(Axis().Minimum(), At(10, 10), 1e-9);
    EXPECT_NEAR(Axis().Maximum(), At(10, 20), 1e-9);

    // A cursor left of the view does not move it.
    player->ReportPosition(10);
    EXPECT_NEAR(Axis().Minimum(), At(10, 10), 1e-9);
}

TEST_F(MainWindow, PressesOnTheChartSeekTheVideo)
{
    OpenVideo(600, At(10, 0));
    const int y = Chart().PlotRect().center().y();

    const int column = ColumnOf(At(10, 5));
    PressChart(column, y);
    const TDateTime clicked = Axis().CalcPosPoint(column);
    EXPECT_EQ(window->MarkSerie->X0(), clicked);
    EXPECT_NEAR(player->Position, (clicked - At(10, 0)) * SecondsPerDay, 1e-3);
    EXPECT_NEAR(player->Position, 300, 600.0 / Chart().PlotRect().width());

    // Pressing on the cursor line seeks as well; below the plot on the labels too.
    player->SeekCount = 0;
    PressChart(ColumnOf(window->MarkSerie->X0()), y);
    PressChart(ColumnOf(At(10, 2)), Chart().PlotRect().bottom() + 10);
    EXPECT_EQ(player->SeekCount, 2);
    EXPECT_NEAR(player->Position, 120, 1.0);

    // The left edge of the plot is inside; the axis labels left of it are not.
    PressChart(Chart().PlotRect().left(), y);
    EXPECT_EQ(player->SeekCount, 3);
    EXPECT_EQ(player->Position, 0.0f);
    PressChart(Chart().PlotRect().left() - 15, y);
    EXPECT_EQ(player->SeekCount, 3);

    // The right button opens the popup menu and never seeks.
    PressChart(column, y, Qt::RightButton);
    EXPECT_EQ(player->SeekCount, 3);
    EXPECT_TRUE(window->pmnChart->isVisible());
    window->pmnChart->close();
}

TEST_F(MainWindow, PlayPauseShowsThePlayingState)
{
    OpenVideo(60);
    window->sbnPlayPause->click();
    EXPECT_TRUE(player->Playing());
    EXPECT_TRUE(ShowsGlyph(window->sbnPlayPause, window->imgPause));
    window->sbnPlayPause->click();
    EXPECT_FALSE(player->Playing());
    EXPECT_TRUE(ShowsGlyph(window->sbnPlayPause, window->imgPlay));

    window->sbnPlayPause->click();
    player->ReportPosition(12);
    player->ReportStop();  // a pause from the player itself, or the end
    EXPECT_TRUE(ShowsGlyph(window->sbnPlayPause, window->imgPlay));
    EXPECT_NEAR(window->MarkSerie->X0(), At(0, 0, 12), 1e-9);
    player->ReportStop();  // repeated stops are harmless
    EXPECT_TRUE(ShowsGlyph(window->sbnPlayPause, window->imgPlay));
}

TEST_F(MainWindow, ZoomButtonsFollowTheCursorAndStayInsideTheVideo)
{
    OpenVideo(20 * 60, At(10, 0));
    window->MarkSerie->SetX0(At(10, 1, 30));
    window->sbnZoomIn->click();
    EXPECT_NEAR(Axis().Minimum(), At(10, 0), 1e-9);
    EXPECT_NEAR(Axis().Maximum(), At(10, 18), 1e-9);

    window->MarkSerie->SetX0(At(10, 10));
    window->sbnZoomOriginal->click();
    window->sbnZoomIn->click();
    EXPECT_NEAR(Axis().Minimum(), At(10, 1), 1e-9);
    EXPECT_NEAR(Axis().Maximum(), At(10, 19), 1e-9);

    window->sbnZoomOut->click();
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, At(10, 0, 3.3) * SecondsPerDay, 1e-3);
    EXPECT_NEAR(Axis().Maximum() * SecondsPerDay, At(10, 19, 54) * SecondsPerDay, 1e-3);
    window->sbnZoomOut->click();
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_EQ(Axis().Maximum(), window->DefaultAxisMax);
}

TEST_F(MainWindow, ASidewaysTurnPansATenthOfTheViewAndStopsAtTheEnds)
{
    OpenVideo(20 * 60, At(10, 0));
    QWidget* plot = Chart().Plot();
    const QPoint inside = plot->rect().center();
    Axis().SetMinMax(At(10, 5), At(10, 10));

    TurnWheel(plot, inside, QPoint(-120, 0));  // to the right: later
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, At(10, 5, 30) * SecondsPerDay, 1e-3);
    EXPECT_NEAR(Axis().Maximum() * SecondsPerDay, At(10, 10, 30) * SecondsPerDay, 1e-3);
    TurnWheel(plot, inside, QPoint(240, 0));   // two notches to the left
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, At(10, 4, 30) * SecondsPerDay, 1e-3);

    // Far to either end: the view keeps its width and stays on the video.
    for (int i = 0; i < 40; ++i)
        TurnWheel(plot, inside, QPoint(-120, 0));
    EXPECT_NEAR(Axis().Maximum() * SecondsPerDay, window->DefaultAxisMax * SecondsPerDay, 1e-3);
    EXPECT_NEAR((Axis().Maximum() - Axis().Minimum()) * SecondsPerDay, 300, 1e-3);
    for (int i = 0; i < 40; ++i)
        TurnWheel(plot, inside, QPoint(120, 0));
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, window->DefaultAxisMin * SecondsPerDay, 1e-3);
    EXPECT_NEAR((Axis().Maximum() - Axis().Minimum()) * SecondsPerDay, 300, 1e-3);

    // Over the tool strip: nothing.
    TurnWheel(window->pnlTools, QPoint(400, 20), QPoint(-120, 0));
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, window->DefaultAxisMin * SecondsPerDay, 1e-3);
}

TEST_F(MainWindow, TheWheelZoomsOnlyOverTheChart)
{
    OpenVideo(20 * 60, At(10, 0));
    window->MarkSerie->SetX0(At(10, 10));
    QWidget* plot = Chart().Plot();
    const QPoint inside = plot->rect().center();

    TurnWheel(plot, inside, -120);  // towards the user: in
    EXPECT_NEAR(Axis().Minimum(), At(10, 1), 1e-9);
    TurnWheel(plot, inside, 120);   // away from the user: out
    EXPECT_NEAR(Axis().Maximum() * SecondsPerDay, At(10, 19, 54) * SecondsPerDay, 1e-3);

    window->sbnZoomOriginal->click();
    // Over the tool strip, on the chart's left or top edge pixel: nothing.
    TurnWheel(window->pnlTools, QPoint(400, 20), -120);
    TurnWheel(&Chart(), QPoint(0, 50), -120);
    TurnWheel(&Chart(), QPoint(50, 0), -120);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_EQ(Axis().Maximum(), window->DefaultAxisMax);

    // A sideways turn or swipe, and a swipe's end without a delta: nothing.
    for (const QPoint sideways : {QPoint(-120, 0), QPoint(120, 0), QPoint(0, 0)})
        TurnWheel(plot, inside, sideways);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_EQ(Axis().Maximum(), window->DefaultAxisMax);

    // One turn zooms once however far it travels up the window's widgets.
    TurnWheel(plot, inside, -120);
    EXPECT_NEAR(Axis().Minimum(), At(10, 1), 1e-9);
    EXPECT_NEAR(Axis().Maximum(), At(10, 19), 1e-9);
}

TEST_F(MainWindow, AShiftDragZoomsToTheSpanAndBackspaceGoesBackToTheDefault)
{
    OpenVideo(20 * 60, At(10, 0));
    QCustomPlot* plot = Chart().Plot();
    const int y = plot->height() / 2;
    const auto drag = [&](TDateTime from, TDateTime to, bool cancel = false) {
        const QPoint start(ColumnOf(from) - plot->x(), y);
        const QPoint end(ColumnOf(to) - plot->x(), y);
        QTest::mousePress(plot, Qt::LeftButton, Qt::ShiftModifier, start);
        QTest::mouseMove(plot, (start + end) / 2);
        QTest::mouseMove(plot, end);
        if (cancel)
            QTest::keyClick(window.get(), Qt::Key_Escape);
        QTest::mouseRelease(plot, Qt::LeftButton, Qt::ShiftModifier, end);
        Chart().ReplotNow();
    };
    const int seeks = player->SeekCount;
    drag(At(10, 12), At(10, 4));
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, At(10, 4) * SecondsPerDay, 2);
    EXPECT_NEAR(Axis().Maximum() * SecondsPerDay, At(10, 12) * SecondsPerDay, 2);
    EXPECT_EQ(player->SeekCount, seeks);
    const TView first{Axis().Minimum(), Axis().Maximum()};

    drag(At(10, 5), At(10, 6));
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, At(10, 5) * SecondsPerDay, 1);
    window->sbnZoomIn->click();
    // Esc during a drag gives it up: the view stays.
    const TView zoomed{Axis().Minimum(), Axis().Maximum()};
    drag(At(10, 5, 10), At(10, 5, 20), true);
    EXPECT_EQ(Axis().Minimum(), zoomed.Min);
    EXPECT_EQ(Axis().Maximum(), zoomed.Max);
    // A Shift+press without moving is a click: it seeks.
    const QPoint still(ColumnOf(At(10, 5, 30)) - plot->x(), y);
    QTest::mousePress(plot, Qt::LeftButton, Qt::ShiftModifier, still);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::ShiftModifier, still);
    EXPECT_EQ(player->SeekCount, seeks + 1);

    // Back through the zoom in and the second drag to the first, then the whole video.
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    EXPECT_EQ(Axis().Minimum(), first.Min);
    EXPECT_EQ(Axis().Maximum(), first.Max);
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_EQ(Axis().Maximum(), window->DefaultAxisMax);
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);

    // Zoom to Default forgets the views before it.
    drag(At(10, 2), At(10, 3));
    window->sbnZoomOriginal->click();
    QTest::keyClick(window.get(), Qt::Key_Backspace);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_EQ(Axis().Maximum(), window->DefaultAxisMax);
}

TEST_F(MainWindow, TheMiddleButtonDragsTheViewWithinTheVideo)
{
    OpenVideo(20 * 60, At(10, 0));
    Axis().SetMinMax(At(10, 5), At(10, 10));
    Chart().ReplotNow();
    QCustomPlot* plot = Chart().Plot();
    const int y = plot->height() / 2;
    const int seeks = player->SeekCount;
    // A tenth of the plot's width to the left shows 30 s later.
    const QPoint start(ColumnOf(At(10, 8)) - plot->x(), y);
    const QPoint end = start - QPoint(Chart().PlotRect().width() / 10, 0);
    QTest::mousePress(plot, Qt::MiddleButton, Qt::NoModifier, start);
    QTest::mouseMove(plot, end);
    QTest::mouseRelease(plot, Qt::MiddleButton, Qt::NoModifier, end);
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, At(10, 5, 30) * SecondsPerDay, 1);
    EXPECT_NEAR((Axis().Maximum() - Axis().Minimum()) * SecondsPerDay, 300, 1e-3);
    EXPECT_EQ(player->SeekCount, seeks);

    // Far to the right: it stops at the start of the video.
    QTest::mousePress(plot, Qt::MiddleButton, Qt::NoModifier, end);
    QTest::mouseMove(plot, end + QPoint(2000, 0));
    QTest::mouseRelease(plot, Qt::MiddleButton, Qt::NoModifier, end + QPoint(2000, 0));
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_NEAR((Axis().Maximum() - Axis().Minimum()) * SecondsPerDay, 300, 1e-3);
    // After the release the pointer moves nothing.
    QTest::mouseMove(plot, start);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
}

TEST_F(MainWindow, ALeftDragScrubsTheVideoAndEndsWithAnExactSeekUnderThePointer)
{
    OpenVideo(20 * 60, At(10, 0));
    QCustomPlot* plot = Chart().Plot();
    const int y = plot->height() / 2;
    const auto point = [&](TDateTime t) { return QPoint(ColumnOf(t) - plot->x(), y); };
    const auto cursorSeconds = [&] { return window->MarkSerie->X0() * SecondsPerDay; };

    // A press and release that moves no further than a few pixels is a click.
    int seeks = player->SeekCount;
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, point(At(10, 2)));
    QTest::mouseMove(plot, point(At(10, 2)) + QPoint(DragThreshold, 0));
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, point(At(10, 2)) + QPoint(DragThreshold, 0));
    EXPECT_EQ(player->SeekCount, seeks + 1);
    EXPECT_EQ(player->ScrubCount, 0);
    EXPECT_NEAR(player->Position, 120, 2);

    // While playing: the drag pauses, the cursor, the time and the picture
    // follow the pointer, the release seeks exactly there and plays on.
    window->sbnPlayPause->click();
    ASSERT_TRUE(player->Playing());
    seeks = player->SeekCount;
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, point(At(10, 4)));
    const QString timeAtPress = window->lblCurrentTime->text();
    QTest::mouseMove(plot, point(At(10, 6)));
    EXPECT_FALSE(player->Playing());
    EXPECT_EQ(player->ScrubCount, 1);
    EXPECT_NEAR(player->Position, 360, 2);
    EXPECT_NEAR(cursorSeconds(), At(10, 6) * SecondsPerDay, 2);
    EXPECT_NE(window->lblCurrentTime->text(), timeAtPress);
    QTest::mouseMove(plot, point(At(10, 9)));
    EXPECT_EQ(player->ScrubCount, 2);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, point(At(10, 9)));
    // The press seeked, the release seeked exactly to the cursor.
    EXPECT_EQ(player->SeekCount, seeks + 2);
    EXPECT_NEAR(player->Position, cursorSeconds() - At(10, 0) * SecondsPerDay, 1e-3);
    EXPECT_NEAR(cursorSeconds(), At(10, 9) * SecondsPerDay, 2);
    EXPECT_TRUE(player->Playing());
    window->sbnPlayPause->click();

    // Beyond the plot's right edge the view scrolls on; the cursor stays in view.
    Axis().SetMinMax(At(10, 5), At(10, 10));
    Chart().ReplotNow();
    const QRect area = Chart().PlotRect();
    const QPoint outside(area.right() + area.width() / 10 - plot->x(), y);
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, point(At(10, 8)));
    QTest::mouseMove(plot, outside);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, outside);
    EXPECT_NEAR(Axis().Minimum() * SecondsPerDay, At(10, 5, 30) * SecondsPerDay, 1);
    EXPECT_NEAR(cursorSeconds(), Axis().Maximum() * SecondsPerDay, 1e-3);
}
