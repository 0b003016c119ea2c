#include "app/CursorView.h"
#include "app/PlaybackSpeed.h"
#include "app/SyncNudge.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataIO.h"
#include "common/TimeMapping.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ModalBoxCatcher.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

constexpr double Frame = 0.04;

double Seconds(TDateTime days)
{
    return days * SecondsPerDay;
}

} // namespace

TEST(SyncNudge, MovesEverythingButTheDataBackByTheSameAmount)
{
    const TSyncState before{At(7, 0), {At(7, 0), At(7, 10)}, {At(7, 2), At(7, 4)}, At(7, 3)};
    const TSyncState after = NudgeSync(before, Frame);
    EXPECT_NEAR(Seconds(before.StartTime - after.StartTime), Frame, 1e-6);
    EXPECT_NEAR(Seconds(before.Full.Min - after.Full.Min), Frame, 1e-6);
    EXPECT_NEAR(Seconds(before.Full.Max - after.Full.Max), Frame, 1e-6);
    EXPECT_NEAR(Seconds(before.View.Min - after.View.Min), Frame, 1e-6);
    EXPECT_NEAR(Seconds(before.View.Max - after.View.Max), Frame, 1e-6);
    // The cursor stays on the same video position.
    EXPECT_NEAR(Seconds(after.Cursor - after.StartTime), Seconds(before.Cursor - before.StartTime), 1e-6);

    // A thousand nudges each way come back to where they started, to the
    // millisecond.
    TSyncState state = before;
    for (int i = 0; i < 1000; ++i)
        state = NudgeSync(state, Frame);
    EXPECT_EQ(SyncOffsetText(state.StartTime, before.StartTime), "sync +40.000 s");
    for (int i = 0; i < 1000; ++i)
        state = NudgeSync(state, -Frame);
    EXPECT_EQ(SyncOffsetText(state.StartTime, before.StartTime), "");
}

TEST(SyncNudge, OffsetTextRoundsToTheMillisecond)
{
    const std::pair<double, const char*> cases[] = {
        {0, ""},      {0.0004, ""},     {0.04, "sync +0.040 s"}, {-0.1, "sync -0.100 s"},
        {1.2346, "sync +1.235 s"}, {-61.5, "sync -61.500 s"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(SyncOffsetText(At(7, 0) - seconds / SecondsPerDay, At(7, 0)), text) << seconds;
}

TEST(PlaybackSpeed, StepsAreHeldWithinAnEighthAndEightTimes)
{
    EXPECT_EQ(NextSpeedStep(MaxSpeedStep, 1), MaxSpeedStep);
    EXPECT_EQ(NextSpeedStep(-MaxSpeedStep, -1), -MaxSpeedStep);
    const std::tuple<int, double, QString> cases[] = {
        {0, 1, ""}, {1, 2, "\u00D72"}, {3, 8, "\u00D78"}, {-1, 0.5, "\u00D71/2"}, {-3, 0.125, "\u00D71/8"},
    };
    for (const auto& [step, speed, text] : cases) {
        EXPECT_EQ(SpeedOfStep(step), speed);
        EXPECT_EQ(SpeedText(step), text);
    }
}

TEST(CursorView, AViewMovesOnlyAsFarAsItMustToShowTheCursor)
{
    const TView full{0, 100};
    struct TCase {
        TView View;
        double Cursor;
        TView Expected;
    };
    const TCase cases[] = {
        {{20, 40}, 30, {20, 40}},  // inside
        {{20, 40}, 40, {20, 40}},  // on the edge
        {{20, 40}, 60, {41, 61}},  // past the right edge: a twentieth inside it
        {{20, 40}, 99, {80, 100}}, // near the end: held inside the full view
        {{20, 40}, 10, {9, 29}},   // before the left edge
        {{20, 40}, 0.5, {0, 20}},  // near the start
    };
    for (const TCase& c : cases) {
        const TView view = ViewShowingCursor(c.View, c.Cursor, full);
        EXPECT_NEAR(view.Min, c.Expected.Min, 1e-9) << c.Cursor;
        EXPECT_NEAR(view.Max, c.Expected.Max, 1e-9) << c.Cursor;
    }
}

namespace {

class Nudge : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(folder.isValid());
        video = folder.filePath(QStringLiteral("clip.mp4"));
        OpenVideo(90, At(7, 0), video);
        TFastLineSeries* series = AddChartSeries(Chart(), "Speed");
        series->AddXY(At(7, 0, 10), 1);
        series->AddXY(At(7, 0, 20), 2);
        window->UpdateControls();
        player->ReportPosition(10);
    }

    void Press(int key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(window.get(), static_cast<Qt::Key>(key), modifiers);
    }

    QTemporaryDir folder;
    QString video;
};

} // namespace

TEST_F(Nudge, AltArrowsMoveTheDataAgainstTheVideoAndTheSaveKeepsIt)
{
    Press(Qt::Key_Right, Qt::AltModifier);
    EXPECT_NEAR(Seconds(At(7, 0) - window->StartTime), 0.04, 1e-6);
    EXPECT_NEAR(Seconds(At(7, 0) - window->DefaultAxisMin), 0.04, 1e-6);
    EXPECT_NEAR(Seconds(At(7, 1, 30) - window->DefaultAxisMax), 0.04, 1e-6);
    EXPECT_NEAR(Seconds(At(7, 0) - Axis().Minimum()), 0.04, 1e-6);
    EXPECT_NEAR(Seconds(window->MarkSerie->X0() - window->StartTime), 10, 1e-6);
    // The series stay where they are in real time.
    EXPECT_EQ(Chart().LineSeries(1)->XValue(0), At(7, 0, 10));
    EXPECT_EQ(player->Position, 10.0f);
    EXPECT_EQ(window->lblCurrentTime->text(), "7:00:09 AM  sync +0.040 s");

    Press(Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    Press(Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->lblCurrentTime->text(), "7:00:10 AM  sync -0.160 s");
    const TDateTime nudged = window->StartTime;

    window->sbnSaveData->click();
    ASSERT_TRUE(QFile::exists(ChartDataFileName(video)));
    // A nudge after the save is unsaved: opening the video again asks, and
    // Discard gives it up.
    Press(Qt::Key_Right, Qt::AltModifier);
    {
        ModalBoxCatcher boxes(QMessageBox::Discard);
        window->OpenVideoFile(video);
        EXPECT_EQ(boxes.Texts(), QStringList({"Save the chart data of " + QFileInfo(video).fileName() + "?"}));
    }
    EXPECT_EQ(window->StartTime, nudged);
    EXPECT_EQ(window->DefaultAxisMin, nudged);
    // Opening starts the count afresh.
    EXPECT_EQ(window->lblCurrentTime->text(), "7:00:00 AM");
}
