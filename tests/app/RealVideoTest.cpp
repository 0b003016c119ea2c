#include "tests/app/RealVideoFixture.h"
#include "chart/Chart.h"
#include "common/MessageBoxes.h"
#include "common/TimeMapping.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/TestVideos.h"
#include "video/MpvVideoPlayer.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <functional>

TEST_F(RealVideo, OpensPlaysAndSeeksWithTheCursorFollowing)
{
    window->OpenVideoFile(TestVideos().WithSound);
    EXPECT_EQ(window->VideoDuration, 10.0f);
    EXPECT_NEAR(window->ChartAll->BottomAxis().Maximum() * SecondsPerDay, 10.0, 1e-6);
    EXPECT_EQ(window->lblCurrentTime->text(), "00:00:00");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ShowsTestVideoBars(GrabVideoPanel(window->pnlClient)); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TestVideoFrameNumber(GrabVideoPanel(window->pnlClient)) == 0; }));

    // A press at 5 s shows the frame at 5 s.
    const QCustomPlot* plot = window->ChartAll->Plot();
    const int x = qRound(plot->xAxis->coordToPixel(5.0 / SecondsPerDay));
    QTest::mousePress(window->ChartAll->Plot(), Qt::LeftButton, Qt::NoModifier, QPoint(x, plot->height() / 2));
    const double seconds = window->MarkSerie->X0() * SecondsPerDay;
    EXPECT_NEAR(seconds, 5.0, 0.1);
    const int expectedFrame = static_cast<int>(std::ceil(seconds * TestVideoFps - 1e-6));
    ASSERT_TRUE(QTest::qWaitFor([&] { return TestVideoFrameNumber(GrabVideoPanel(window->pnlClient)) == expectedFrame; }))
        << TestVideoFrameNumber(GrabVideoPanel(window->pnlClient)) << " instead of " << expectedFrame;

    // Playing moves the cursor on every report; the end of the clip stops it.
    window->sbnPlayPause->click();
    EXPECT_TRUE(window->Player().Playing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->MarkSerie->X0() * SecondsPerDay > seconds + 0.4; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Player().Playing(); }, 8000));
    EXPECT_GT(window->MarkSerie->X0() * SecondsPerDay, 9.0);
    EXPECT_TRUE(window->lblCurrentTime->text().startsWith("00:00:0"));
}

TEST_F(RealVideo, AFileThatIsNoVideoIsRefusedWithTheLibrarysReason)
{
    window->OpenVideoFile(TestVideos().WithoutSound);
    ModalBoxCatcher boxes;
    RunCommand([&] { window->OpenVideoFile(TestVideos().TextAsMp4); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes().at(0).Text.startsWith("The video or audio codec is not supported."));
    EXPECT_EQ(window->VideoFileName, TestVideos().WithoutSound);
    EXPECT_EQ(window->VideoDuration, 10.0f);
    EXPECT_TRUE(window->ChartAll->isEnabled());
}

TEST_F(RealVideo, ArrowKeysStepExactlyOneFrame)
{
    window->OpenVideoFile(TestVideos().WithoutSound);
    const auto frameShown = [&] { return TestVideoFrameNumber(GrabVideoPanel(window->pnlClient)); };
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameShown() == 0; }));

    // Each step lands on the next frame's time exactly, the cursor with it.
    const std::pair<Qt::Key, int> steps[] = {
        {Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 3}, {Qt::Key_Left, 2}, {Qt::Key_Left, 1},
    };
    for (const auto& step : steps) {
        // A named copy: a lambda below uses the frame.
        const int frame = step.second;
        QTest::keyClick(window.get(), step.first);
        const double time = double(frame) / TestVideoFps;
        EXPECT_TRUE(QTest::qWaitFor([&] { return qAbs(window->MarkSerie->X0() * SecondsPerDay - time) < 1e-6; }))
            << window->MarkSerie->X0() * SecondsPerDay << " instead of " << time;
        ASSERT_TRUE(QTest::qWaitFor([&] { return frameShown() == frame; })) << frameShown() << " instead of " << frame;
        EXPECT_NEAR(window->Player().GetPosition(), time, 1e-4) << frame;
    }

    // A jump keeps to the frames; from a click between two frames, a step
    // goes to the frame after the one shown.
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameShown() == 1 + 5 * TestVideoFps; }));
    const QCustomPlot* plot = window->ChartAll->Plot();
    const int x = qRound(plot->xAxis->coordToPixel(7.01 / SecondsPerDay));
    QTest::mousePress(window->ChartAll->Plot(), Qt::LeftButton, Qt::NoModifier, QPoint(x, plot->height() / 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameShown() >= 7 * TestVideoFps; }));
    QTest::qWait(300);
    const int clicked = frameShown();
    QTest::keyClick(window.get(), Qt::Key_Right);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return qAbs(window->MarkSerie->X0() * SecondsPerDay - double(clicked + 1) / TestVideoFps) < 1e-6;
    })) << window->MarkSerie->X0() * SecondsPerDay;
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameShown() == clicked + 1; })) << frameShown();

    // Stepping while playing pauses first.
    window->sbnPlayPause->click();
    QTest::qWait(200);
    const double before = window->MarkSerie->X0();
    QTest::keyClick(window.get(), Qt::Key_Right);
    EXPECT_FALSE(window->Player().Playing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->MarkSerie->X0() > before; }));
    QTest::qWait(100);
    const double cursor = window->MarkSerie->X0() * SecondsPerDay;
    const int frame = qRound(cursor * TestVideoFps);
    EXPECT_NEAR(cursor, double(frame) / TestVideoFps, 1e-4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frameShown() == frame; })) << frameShown() << " instead of " << frame;
    QTest::qWait(300);
    EXPECT_EQ(frameShown(), frame);
}

TEST_F(RealVideo, StepsAndEndGoToTheFramesOwnTimesOnClipsWithSound)
{
    // In the clip with a variable rate the first frames follow each other
    // after 20 ms, half the average; both clips' sound runs on past the start
    // of their last frame.
    const struct {
        const char* Name;
        QString File;
        std::function<double(int)> Time;
        int Frames;
    } clips[] = {
        {"variable rate", TestVideos().VariableRate, VariableRateFrameTime, VariableRateFrames},
        {"29.97 fps", TestVideos().Ntsc, NtscFrameTime, NtscFrames},
    };
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.Name);
        window->OpenVideoFile(clip.File);
        const auto frameShown = [&] { return TestVideoFrameNumber(GrabVideoPanel(window->pnlClient)); };
        ASSERT_TRUE(QTest::qWaitFor([&] { return frameShown() == 0; }));
        const int last = clip.Frames - 1;
        const std::pair<Qt::Key, int> keys[] = {
            {Qt::Key_Right, 1}, {Qt::Key_Right, 2}, {Qt::Key_Right, 3}, {Qt::Key_Left, 2},
            {Qt::Key_End, last}, {Qt::Key_Left, last - 1}, {Qt::Key_Right, last},
        };
        for (const auto& press : keys) {
            // A named copy: lambdas below use the frame.
            const int frame = press.second;
            const double time = clip.Time(frame);
            QTest::keyClick(window.get(), press.first);
            // The cursor exactly at the frame's time: a sample there is the
            // one the strip shows.
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return qAbs(window->MarkSerie->X0() - VideoToChartTime(window->StartTime, time)) < 1e-9 / SecondsPerDay; }))
                << (window->MarkSerie->X0() - window->StartTime) * SecondsPerDay << " instead of " << time;
            EXPECT_TRUE(QTest::qWaitFor([&] { return frameShown() == frame; }))
                << frameShown() << " instead of " << frame;
        }
    }
}
