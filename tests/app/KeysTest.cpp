#include "chartdata/ChartData.h"
#include "chartdata/ChartDataIO.h"
#include "common/TimeMapping.h"
#include "import/LoadDataForm.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/UiDriver.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <functional>
#include <utility>

namespace {

class Keys : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        OpenVideo(90, At(12, 0));
    }

    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key), modifiers);
    }

    // The cursor in seconds of video.
    double CursorSeconds() const { return (window->MarkSerie->X0() - window->StartTime) * SecondsPerDay; }

    bool ShowsPlayGlyph() const
    {
        return window->sbnPlayPause->icon().pixmap(32, 32).toImage() == window->imgPlay.toImage();
    }
};

} // namespace

TEST_F(Keys, SpacePlaysAndPausesAsTheButtonDoes)
{
    Press(Qt::Key_Space);
    EXPECT_TRUE(player->Playing());
    EXPECT_FALSE(ShowsPlayGlyph());
    Press(Qt::Key_Space);
    EXPECT_FALSE(player->Playing());
    EXPECT_TRUE(ShowsPlayGlyph());
}

TEST_F(Keys, SpaceGoesToAFocusedButtonOrTheLegendAndPlaysElsewhere)
{
    for (int i = 0; i < 2; ++i)
        AddChartSeries(Chart(), "Series " + QByteArray::number(i + 1))->AddXY(At(12, 0, 10), i);
    window->FillLegend();
    window->UpdateControls();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    // A focused button presses: Zoom In zooms, the video stays paused.
    const double width = Chart().BottomAxis().Maximum() - Chart().BottomAxis().Minimum();
    window->sbnZoomIn->setFocus();
    QTest::keyClick(window->sbnZoomIn, Qt::Key_Space);
    EXPECT_FALSE(player->Playing());
    EXPECT_LT(Chart().BottomAxis().Maximum() - Chart().BottomAxis().Minimum(), width);

    // In the legend Space ticks and unticks the current series.
    window->lvwLegend->setFocus();
    window->lvwLegend->setCurrentRow(1);
    QTest::keyClick(window->lvwLegend, Qt::Key_Space);
    EXPECT_FALSE(player->Playing());
    EXPECT_EQ(window->lvwLegend->item(1)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(Chart().Series(2)->Active());
    QTest::keyClick(window->lvwLegend, Qt::Key_Space);
    EXPECT_EQ(window->lvwLegend->item(1)->checkState(), Qt::Checked);

    // On the chart it plays.
    Chart().setFocus();
    QTest::keyClick(&Chart(), Qt::Key_Space);
    EXPECT_TRUE(player->Playing());
}

TEST_F(Keys, ArrowsStepOneFramePausingFirst)
{
    player->Position = 10;
    Press(Qt::Key_Space);
    Press(Qt::Key_Right);
    EXPECT_FALSE(player->Playing());
    EXPECT_TRUE(ShowsPlayGlyph());
    // What a press of the button does now, for screen readers too.
    EXPECT_EQ(window->sbnPlayPause->accessibleName(), "Play");
    EXPECT_FLOAT_EQ(player->Position, 10.04f);
    EXPECT_EQ(window->MarkSerie->X0(), VideoToChartTime(At(12, 0), player->Position));
    EXPECT_EQ(window->lblCurrentTime->text(), "12:00:10 PM");

    Press(Qt::Key_Left);
    Press(Qt::Key_Left);
    EXPECT_FLOAT_EQ(player->Position, 9.96f);
    EXPECT_EQ(window->MarkSerie->X0(), VideoToChartTime(At(12, 0), player->Position));
    EXPECT_EQ(window->lblCurrentTime->text(), "12:00:09 PM");
}

TEST_F(Keys, JumpsAndEndsMoveTheVideoAndTheCursorWithinTheVideo)
{
    struct TCase {
        float From;
        int Key;
        Qt::KeyboardModifiers Modifiers;
        float To;
    };
    const TCase cases[] = {
        {10, Qt::Key_Right, Qt::ShiftModifier, 15},
        {10, Qt::Key_Left, Qt::ShiftModifier, 5},
        {88, Qt::Key_Right, Qt::ShiftModifier, 90},
        {3, Qt::Key_Left, Qt::ShiftModifier, 0},
        {40, Qt::Key_Home, Qt::NoModifier, 0},
        {40, Qt::Key_End, Qt::NoModifier, 90 - 0.04f},
    };
    for (const TCase& c : cases) {
        player->Position = c.From;
        Press(c.Key, c.Modifiers);
        EXPECT_FLOAT_EQ(player->Position, c.To) << c.From << " key " << c.Key;
        EXPECT_NEAR(CursorSeconds(), c.To, 1e-4) << c.From << " key " << c.Key;
    }
    // A jump does not stop playback.
    Press(Qt::Key_Space);
    Press(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(player->Playing());
}

TEST_F(Keys, TheViewFollowsACursorThatAKeyMovesOutOfIt)
{
    for (int i = 0; i < 20; ++i)
        window->sbnZoomIn->click();
    const double width = Axis().Maximum() - Axis().Minimum();
    ASSERT_LT(width * SecondsPerDay, 20);

    Press(Qt::Key_End);
    EXPECT_NEAR(Axis().Maximum(), window->DefaultAxisMax, 1e-12);
    EXPECT_NEAR(Axis().Maximum() - Axis().Minimum(), width, 1e-12);
    Press(Qt::Key_Home);
    EXPECT_NEAR(Axis().Minimum(), window->DefaultAxisMin, 1e-12);
    EXPECT_NEAR(Axis().Maximum() - Axis().Minimum(), width, 1e-12);
}

TEST_F(Keys, ZoomKeysDoWhatTheButtonsDo)
{
    struct TCase {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        QToolButton* Button;
    };
    const TCase cases[] = {
        {Qt::Key_Plus, Qt::ShiftModifier, window->sbnZoomIn},
        {Qt::Key_Plus, Qt::KeypadModifier, window->sbnZoomIn},
        {Qt::Key_Minus, Qt::NoModifier, window->sbnZoomOut},
        {Qt::Key_0, Qt::NoModifier, window->sbnZoomOriginal},
    };
    const auto after = [&](const std::function<void()>& act) {
        Axis().SetMinMax(At(12, 0, 20), At(12, 1, 0));
        player->ReportPosition(22);
        act();
        return std::make_pair(Axis().Minimum(), Axis().Maximum());
    };
    for (const TCase& c : cases) {
        const auto byKey = after([&] { Press(c.Key, c.Modifiers); });
        const auto byButton = after([&] { c.Button->click(); });
        EXPECT_EQ(byKey, byButton) << c.Button->toolTip().toStdString();
        EXPECT_NE(byKey, std::make_pair(At(12, 0, 20), At(12, 1, 0))) << c.Button->toolTip().toStdString();
    }
}

TEST_F(Keys, TooltipsNameTheKeysAfterTheirText)
{
    const std::pair<QToolButton*, const char*> cases[] = {
        {window->sbnOpenVideo, "Open a video file (Ctrl+O)"},
        {window->sbnAddVideo, "Add another video of the same run (Ctrl+Shift+O)"},
        {window->sbnOpenData, "Load a chart data (Ctrl+L)"},
        {window->sbnSaveData, "Save the chart data (Ctrl+S)"}, {window->sbnPlayPause, "Play/Pause (Space)"},
        {window->sbnZoomIn, "Zoom In (+)"},   {window->sbnZoomOut, "Zoom Out (-)"},
        {window->sbnZoomOriginal, "Zoom to Default (0)"},
    };
    for (const auto& [button, tip] : cases)
        EXPECT_EQ(button->toolTip(), tip);
}

TEST_F(Keys, FileKeysClickTheirButtons)
{
    QTemporaryDir folder;
    const QString video = folder.filePath(QStringLiteral("clip.mp4"));
    QFile(video).open(QIODevice::WriteOnly);

    // Ctrl+S does nothing while the save button is disabled.
    Press(Qt::Key_S, Qt::ControlModifier);
    AnswerFileDialog(video);
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(player->OpenedFile, video);

    bool dialogShown = false;
    WhenModal([&](QWidget* modal) {
        dialogShown = qobject_cast<TfrmLoadData*>(modal) != nullptr;
        modal->close();
    });
    Press(Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(dialogShown);

    AddChartSeries(Chart(), "Speed")->AddXY(At(12, 0, 1), 2);
    window->UpdateControls();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(ChartDataFileName(video)));
}

TEST_F(Keys, TheLegendKeepsItsArrowsAndItsEditorItsKeys)
{
    for (const char* title : {"First", "Second"})
        AddChartSeries(Chart(), title)->AddXY(At(12, 0, 1), 1);
    window->FillLegend();
    window->UpdateControls();
    QListWidget* legend = window->lvwLegend;
    legend->setCurrentRow(0);
    player->Position = 10;
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    legend->setFocus();

    QTest::keyClick(legend, Qt::Key_Down);
    QTest::keyClick(legend, Qt::Key_Right);
    EXPECT_EQ(legend->currentRow(), 1);
    EXPECT_EQ(player->Position, 10.0f);

    // Other keys are the window's, also over the legend.
    QTest::keyClick(legend, Qt::Key_Right, Qt::AltModifier);
    EXPECT_NE(window->StartTime, At(12, 0));
    const auto view = std::make_pair(Axis().Minimum(), Axis().Maximum());

    QTest::keyClick(legend, Qt::Key_F2);
    QLineEdit* editor = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (editor = legend->viewport()->findChild<QLineEdit*>()) != nullptr; }));
    editor->selectAll();
    QTest::keyClicks(editor, "+0 ");
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Home);
    EXPECT_EQ(editor->text(), "+0 ");
    EXPECT_EQ(std::make_pair(Axis().Minimum(), Axis().Maximum()), view);
    EXPECT_FALSE(player->Playing());
    EXPECT_EQ(player->Position, 10.0f);
}

TEST_F(Keys, NoKeyActsWhileADialogIsOpen)
{
    player->Position = 10;
    WhenModal([&](QWidget* modal) {
        QTest::keyClick(modal, Qt::Key_Space);
        QTest::keyClick(window.get(), Qt::Key_Space);
        QTest::keyClick(window.get(), Qt::Key_Right);
        modal->close();
    });
    window->sbnOpenData->click();
    EXPECT_FALSE(player->Playing());
    EXPECT_EQ(player->Position, 10.0f);
}

TEST_F(Keys, TheCursorCatchesUpWithThePictureOnAPauseAStopAndASpeedChange)
{
    // Between two reports the picture goes on, at 8x by up to 4 s.
    const struct {
        const char* Name;
        std::function<void()> Act;
        bool Playing;
    } cases[] = {
        {"Play/Pause", [&] { window->sbnPlayPause->click(); }, false},
        {"Space", [&] { Press(Qt::Key_Space); }, false},
        {"a stop from the player", [&] { player->ReportStop(); }, false},
        {"a faster speed", [&] { Press(Qt::Key_BracketRight); }, true},
        {"a slower speed", [&] { Press(Qt::Key_BracketLeft); }, true},
    };
    for (const auto& c : cases) {
        window->sbnPlayPause->click();
        ASSERT_TRUE(player->Playing()) << c.Name;
        player->ReportPosition(20);
        player->Position = 22.5f;
        c.Act();
        EXPECT_EQ(player->Playing(), c.Playing) << c.Name;
        EXPECT_NEAR(CursorSeconds(), 22.5, 1e-6) << c.Name;
        EXPECT_EQ(window->lblCurrentTime->text().left(11), "12:00:22 PM") << c.Name;
        if (player->Playing())
            window->sbnPlayPause->click();
    }
}

TEST_F(Keys, BracketsHalveAndDoubleTheSpeedFromAnEighthToEightTimes)
{
    Press(Qt::Key_BracketRight);
    EXPECT_EQ(player->Speed, 2);
    EXPECT_EQ(window->lblCurrentTime->text(), QStringLiteral("12:00:00 PM  ×2"));
    for (int i = 0; i < 5; ++i)
        Press(Qt::Key_BracketRight);
    EXPECT_EQ(player->Speed, 8);
    for (int i = 0; i < 10; ++i)
        Press(Qt::Key_BracketLeft);
    EXPECT_EQ(player->Speed, 0.125);
    EXPECT_EQ(window->lblCurrentTime->text(), QStringLiteral("12:00:00 PM  ×1/8"));
    for (int i = 0; i < 3; ++i)
        Press(Qt::Key_BracketRight);
    EXPECT_EQ(player->Speed, 1);
    EXPECT_EQ(window->lblCurrentTime->text(), "12:00:00 PM");
}
