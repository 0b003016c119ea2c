// Videos added beside the main one: kept in step with it, moved against it by
// the sync keys, saved beside it and opened again with it.
#include "app/MainForm.h"
#include "chart/Chart.h"
#include "common/MessageBoxes.h"
#include "common/TimeMapping.h"
#include "multivideo/VideoArrangement.h"
#include "multivideo/VideoSet.h"
#include "multivideo/VideoTile.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/app/RealVideoFixture.h"
#include "tests/app/XPointer.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/TestVideos.h"
#include "video/MpvVideoPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolButton>

#include <cmath>

namespace {

// Notes when a mouse button is let go anywhere in the program.
class TReleaseSeen : public QObject {
public:
    bool Seen = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        Seen = Seen || event->type() == QEvent::MouseButtonRelease;
        return false;
    }
};

FakeVideoPlayer& Added(TfrmMain& window, int index)
{
    return static_cast<FakeVideoPlayer&>(window.Videos().AddedPlayer(index));
}

QAction* MenuAction(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

} // namespace

TEST_F(MainWindow, AnAddedVideoFollowsSeeksAndPlayAndOnlyTheSelectedOneTakesTheSyncKeys)
{
    OpenVideo(60);
    EXPECT_TRUE(window->sbnAddVideo->isEnabled());
    window->Videos().Add({"/nonexistent/side.mp4", 2.0}, 0, false);
    FakeVideoPlayer& side = Added(*window, 0);
    EXPECT_TRUE(side.Muted);
    EXPECT_FLOAT_EQ(side.Position, 2.0f);
    EXPECT_EQ(window->Videos().AddedTile(0)->Caption(), "+2.000 s");
    EXPECT_TRUE(window->sbnSaveData->isEnabled());

    PressChart(ColumnOf(At(0, 0, 10)), 50);
    EXPECT_NEAR(side.Position, player->Position + 2.0, 1e-4);

    // Nothing selected: the keys move the data, as with one video.
    const TDateTime start = window->StartTime;
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_NE(window->StartTime, start);
    EXPECT_EQ(window->Videos().AddedTile(0)->Caption(), "+2.000 s");

    // The added video selected, they move it alone, by its own frames.
    QTest::mouseClick(window->Videos().AddedTile(0), Qt::LeftButton);
    ASSERT_EQ(window->Videos().Selected(), 0);
    EXPECT_TRUE(window->Videos().AddedTile(0)->Selected());
    const TDateTime nudgedStart = window->StartTime;
    side.FrameSeconds = 0.05f;
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::AltModifier);
    QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(window->StartTime, nudgedStart);
    EXPECT_EQ(window->Videos().AddedTile(0)->Caption(), "+1.950 s");
    EXPECT_NEAR(side.Position, player->Position + 1.95, 1e-4);

    // A moment past its end shows its last frame dimmed, until the cursor
    // comes back.
    PressChart(ColumnOf(At(0, 0, 59)), 50);
    EXPECT_TRUE(side.Dimmed);
    EXPECT_NEAR(side.Position, 60 - 0.05, 1e-4);
    PressChart(ColumnOf(At(0, 0, 20)), 50);
    EXPECT_FALSE(side.Dimmed);

    // Play, speed and pause go to both; the check while playing finds the
    // added video far off and puts it where it belongs.
    window->sbnPlayPause->click();
    EXPECT_TRUE(side.Playing());
    QTest::keyClick(window.get(), Qt::Key_BracketRight);
    EXPECT_EQ(side.Speed, player->Speed);
    EXPECT_GT(side.Speed, 1.0);
    player->Position = 30;
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::abs(side.Position - 31.95) < 1e-4; }, 1000)) << side.Position;
    // A little off, it is played up by a speed a little off the main video's
    // instead, until a pause puts it on its frame at the same speed again.
    const double speed = player->Speed;
    side.Position = 31.92f;
    EXPECT_TRUE(QTest::qWaitFor([&] { return side.Speed != speed; }, 1000));
    EXPECT_NEAR(side.Speed, speed * 1.06, 1e-4);
    EXPECT_NEAR(side.Position, 31.92, 1e-4);
    window->sbnPlayPause->click();
    EXPECT_FALSE(side.Playing());
    EXPECT_EQ(side.Speed, speed);
    EXPECT_NEAR(side.Position, 31.95, 1e-4);

    // A press on the main picture selects it: the keys move the data again.
    QTest::mouseClick(window->Videos().MainTile(), Qt::LeftButton);
    EXPECT_EQ(window->Videos().Selected(), -1);
}

TEST_F(MainWindow, AVideosMenuTurnsItsSoundOnAndRemovesIt)
{
    OpenVideo(60);
    window->Videos().Add({"/nonexistent/side.mp4", 0}, 0, false);
    window->Videos().Add({"/nonexistent/top.mp4", 0}, 0, false);
    const QRect half = window->Videos().MainTile()->geometry();
    EXPECT_LT(half.width(), window->pnlClient->width() / 2 + 1);

    QMenu* menu = window->Videos().ShowMenu(1, window->mapToGlobal(QPoint(50, 50)));
    MenuAction(menu, "Sound")->trigger();
    EXPECT_FALSE(Added(*window, 0).Muted);
    menu = window->Videos().ShowMenu(0, window->mapToGlobal(QPoint(50, 50)));
    EXPECT_EQ(MenuAction(menu, "Remove"), nullptr);
    MenuAction(menu, "Sound")->trigger();
    EXPECT_TRUE(player->Muted);

    menu = window->Videos().ShowMenu(1, window->mapToGlobal(QPoint(50, 50)));
    MenuAction(menu, "Remove")->trigger();
    ASSERT_EQ(window->Videos().Count(), 1);
    EXPECT_EQ(window->Videos().Arrangement()[0].FileName, "/nonexistent/top.mp4");
    menu = window->Videos().ShowMenu(1, window->mapToGlobal(QPoint(50, 50)));
    MenuAction(menu, "Remove")->trigger();
    EXPECT_EQ(window->Videos().Count(), 0);
    // One video again takes the whole panel.
    EXPECT_EQ(window->Videos().MainTile()->geometry(), window->pnlClient->rect());
    menu->close();
}

namespace {

// The main window playing real clips, side by side.
class MultiVideo : public RealVideo {
protected:
    // Copies a clip into the folder under `name`.
    static QString CopyClip(const QString& clip, const QDir& folder, const QString& name)
    {
        const QString copy = folder.filePath(name);
        QDir().mkpath(QFileInfo(copy).path());
        EXPECT_TRUE(QFile::copy(clip, copy));
        return copy;
    }

    // A left click in the middle of a tile's picture, made by the X server's
    // pointer as a user's mouse makes it: it lands in the window mpv draws
    // into, and only from there reaches the program.
    void ClickPicture(QWidget* tile)
    {
        const QPoint point = tile->mapTo(window.get(), tile->rect().center());
        // The picture's window takes its place in the tile once laid out.
        QWidget* under = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            under = window->childAt(point);
            return under && under != tile && tile->isAncestorOf(under);
        })) << "no picture in the tile";
        QWidget* native = under->internalWinId() ? under : under->nativeParentWidget();
        ASSERT_TRUE(tile->isAncestorOf(native)) << "the picture has no window of its own";
        QTest::qWait(50);
        TReleaseSeen released;
        qApp->installEventFilter(&released);
        const bool sent = ClickThroughX(window->mapToGlobal(point));
        const bool reached = sent && QTest::qWaitFor([&] { return released.Seen; }, 5000);
        qApp->removeEventFilter(&released);
        ASSERT_TRUE(reached) << "the click on the picture did not reach the program";
    }
};

// Whether an exact seek to `seconds` in a clip of `fps` may show `frame`: the
// first frame at or after that time, or one up to 5 ms before it.
bool FrameFor(int frame, double seconds, double fps)
{
    const int first = static_cast<int>(std::ceil((seconds - 0.006) * fps - 1e-9));
    const int last = static_cast<int>(std::ceil(seconds * fps - 1e-6));
    return frame >= first && frame <= last;
}

} // namespace

TEST_F(MultiVideo, EachPictureShowsTheFrameOfTheCursorsTimePlusItsOffset)
{
    constexpr double NtscFps = 30000.0 / 1001;
    window->OpenVideoFile(TestVideos().WithoutSound);
    window->Videos().Add({NtscLongTestVideo(), 0}, 0, false);
    TVideoTile* sideTile = window->Videos().AddedTile(0);
    QWidget* mainTile = window->Videos().MainTile();

    // Five steps of 100 ms back and a frame of its own forward.
    ClickPicture(sideTile);
    ASSERT_EQ(window->Videos().Selected(), 0);
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(window.get(), Qt::Key_Left, Qt::AltModifier | Qt::ShiftModifier);
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(sideTile->Caption(), "-0.467 s");
    const double offset = window->Videos().Arrangement()[0].OffsetSeconds;

    const auto picturesMatch = [&](const char* when) {
        double cursor = 0;
        int mainFrame = -1;
        int sideFrame = -1;
        const bool match = QTest::qWaitFor([&] {
            cursor = window->MarkSerie->X0() * SecondsPerDay;
            mainFrame = TestVideoFrameNumber(GrabVideoPanel(mainTile));
            sideFrame = TestVideoFrameNumber(GrabVideoPanel(sideTile));
            return FrameFor(mainFrame, cursor, TestVideoFps) && FrameFor(sideFrame, cursor + offset, NtscFps);
        });
        EXPECT_TRUE(match) << when << ": at " << cursor << " s the pictures show frames " << mainFrame << " and "
                           << sideFrame;
    };

    const QCustomPlot* plot = window->ChartAll->Plot();
    const int x = qRound(plot->xAxis->coordToPixel(4.1 / SecondsPerDay));
    QTest::mouseClick(window->ChartAll->Plot(), Qt::LeftButton, Qt::NoModifier, QPoint(x, plot->height() / 2));
    picturesMatch("after a click on the chart");
    const TDateTime beforeStep = window->MarkSerie->X0();
    QTest::keyClick(window->ChartAll, Qt::Key_Right);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->MarkSerie->X0() > beforeStep; }));
    picturesMatch("after a frame step");

    window->sbnPlayPause->click();
    TVideoPlayer& side = window->Videos().AddedPlayer(0);
    double drift = 0;
    QTest::qWait(800);
    for (int i = 0; i < 20; ++i) {
        QTest::qWait(100);
        drift = qMax(drift, std::abs(side.GetPosition() - (window->Player().GetPosition() + offset)));
    }
    window->sbnPlayPause->click();
    EXPECT_LT(drift, 0.1);
    EXPECT_GT(window->MarkSerie->X0() * SecondsPerDay, 6.0);
    picturesMatch("after playing");
}

TEST_F(MultiVideo, AClickOnAnAddedVideosPictureFramesItAndTheNudgeMovesItAlone)
{
    window->OpenVideoFile(TestVideos().WithoutSound);
    window->Videos().Add({NtscLongTestVideo(), 0}, 0, false);
    window->Videos().Add({TestVideos().WithSound, 0.5}, 0, false);
    TVideoTile* first = window->Videos().AddedTile(0);
    TVideoTile* second = window->Videos().AddedTile(1);

    ClickPicture(second);
    EXPECT_EQ(window->Videos().Selected(), 1);
    EXPECT_TRUE(second->Selected());
    EXPECT_FALSE(first->Selected());

    const TDateTime start = window->StartTime;
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(second->Caption(), "+0.540 s");
    EXPECT_EQ(first->Caption(), "+0.000 s");
    EXPECT_EQ(window->StartTime, start);
    // Its picture moves to its frame for the cursor's time; the others stay.
    const double cursor = window->MarkSerie->X0() * SecondsPerDay;
    int frames[3] = {-1, -1, -1};
    EXPECT_TRUE(QTest::qWaitFor([&] {
        frames[0] = TestVideoFrameNumber(GrabVideoPanel(window->Videos().MainTile()));
        frames[1] = TestVideoFrameNumber(GrabVideoPanel(first));
        frames[2] = TestVideoFrameNumber(GrabVideoPanel(second));
        return frames[0] == 0 && frames[1] == 0 && FrameFor(frames[2], cursor + 0.54, TestVideoFps);
    })) << "frames " << frames[0] << " " << frames[1] << " " << frames[2];

    ClickPicture(window->Videos().MainTile());
    EXPECT_EQ(window->Videos().Selected(), -1);
    EXPECT_FALSE(second->Selected());
}

TEST_F(MultiVideo, TheArrangementIsSavedBesideTheVideoAndComesBackWithItWherePathsAllowIt)
{
    QTemporaryDir root;
    QDir run(root.filePath("run"));
    QDir().mkpath(run.path());
    const QString main = CopyClip(TestVideos().WithoutSound, run, "main.mp4");
    CopyClip(NtscLongTestVideo(), run, "cams/side.mp4");

    window->OpenVideoFile(main);
    window->Videos().Add({run.filePath("cams/side.mp4"), 0.25}, 0, false);
    ModalBoxCatcher boxes;
    window->sbnSaveData->click();
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join("\n").toStdString();
    QFile saved(run.filePath("main.plotreel"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().contains("\"cams/side.mp4\""));
    // The chart data file is not written without data.
    EXPECT_FALSE(QFile::exists(run.filePath("main.bcd")));

    window->OpenVideoFile(TestVideos().WithSound);
    EXPECT_EQ(window->Videos().Count(), 0);

    // The run's folder moved: the added video is found beside the main one.
    ASSERT_TRUE(QDir().rename(run.path(), root.filePath("moved")));
    window->OpenVideoFile(root.filePath("moved/main.mp4"));
    const QList<TAddedVideo> expected{{root.filePath("moved/cams/side.mp4"), 0.25}};
    EXPECT_EQ(window->Videos().Arrangement(), expected);
    EXPECT_EQ(window->Videos().AddedTile(0)->Caption(), "+0.250 s");
}

TEST_F(MultiVideo, AMissingAddedVideoIsNamedAndTheOthersOpen)
{
    QTemporaryDir run;
    const QString main = CopyClip(TestVideos().WithoutSound, run.path(), "main.mp4");
    const QString side = CopyClip(NtscLongTestVideo(), run.path(), "side.mp4");
    TArrangement arrangement;
    arrangement.Videos = {{run.filePath("gone.mp4"), 0}, {side, 0.1}};
    SaveArrangement(main, arrangement);

    ModalBoxCatcher boxes;
    RunCommand([&] { window->OpenVideoFile(main); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].Text.contains("\"gone.mp4\"")) << boxes.Boxes()[0].Text.toStdString();
    EXPECT_EQ(window->VideoFileName, main);
    ASSERT_EQ(window->Videos().Count(), 1);
    EXPECT_EQ(window->Videos().Arrangement()[0].FileName, side);
    EXPECT_TRUE(window->ChartAll->isEnabled());
}
