#include "app/MainForm.h"
#include "chart/Chart.h"
#include "common/MessageBoxes.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/TestVideos.h"
#include "video/MpvVideoPlayer.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

// The main window as the program builds it, playing the test clips.
class RealVideo : public ::testing::Test {
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        window = std::make_unique<TfrmMain>(std::make_unique<TMpvVideoPlayer>(
            TMpvOptions{{"ao", "null"}, {"hwdec", "no"}, {"gpu-hwdec-interop", "no"}}));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    std::unique_ptr<TfrmMain> window;
};

} // namespace

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
