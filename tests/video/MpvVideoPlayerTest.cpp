#include "video/MpvVideoPlayer.h"

#include "common/Exception.h"
#include "tests/support/TestVideos.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QVBoxLayout>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

// Options for a machine without video hardware.
TMpvOptions NoHardwareOptions()
{
    return {{"hwdec", "no"}, {"gpu-hwdec-interop", "no"}};
}

// Quiet options for a machine without sound device or video hardware.
TMpvOptions TestOptions()
{
    return NoHardwareOptions() + TMpvOptions{{"ao", "null"}};
}

// Runs the event loop until the condition holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}

std::string FirstLine(const Exception& e)
{
    return e.Message().section('\n', 0, 0).toStdString();
}

class MpvVideoPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestVideos();
        // The video panel sits in a window beside other widgets, and its
        // shape differs from the clip's, as in the main window.
        auto* layout = new QVBoxLayout(&mWindow);
        layout->addWidget(new QLabel(QStringLiteral("Chart")));
        layout->addWidget(&mPanel, 1);
        mWindow.resize(500, 400);
        mWindow.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&mWindow));
        mPlayer = std::make_unique<TMpvVideoPlayer>(TestOptions());
        mPlayer->SetVideoWindow(&mPanel);
        mPlayer->OnPosition = [this](TVideoPlayer* sender, float position) {
            EXPECT_EQ(sender, mPlayer.get());
            mPositions.append(position);
            mPositionTimes.append(mClock.elapsed());
        };
        mPlayer->OnFrameShown = [this](TVideoPlayer* sender, double seconds) {
            EXPECT_EQ(sender, mPlayer.get());
            mFramesShown.append(seconds);
        };
        mPlayer->OnScrubShown = [this](TVideoPlayer* sender, double seconds) {
            EXPECT_EQ(sender, mPlayer.get());
            mScrubsShown.append(seconds);
        };
        mPlayer->OnStop = [this](TVideoPlayer* sender) {
            EXPECT_EQ(sender, mPlayer.get());
            EXPECT_FALSE(sender->Playing());
            ++mStops;
        };
        mClock.start();
    }

    int FrameShown() { return TestVideoFrameNumber(GrabVideoPanel(&mPanel)); }
    bool WaitForFrame(int frame)
    {
        return WaitUntil([&] { return FrameShown() == frame; });
    }

    QWidget mWindow;
    QWidget mPanel;
    std::unique_ptr<TMpvVideoPlayer> mPlayer;
    QElapsedTimer mClock;
    QList<float> mPositions;
    QList<qint64> mPositionTimes;
    QList<double> mFramesShown;
    QList<double> mScrubsShown;
    int mStops = 0;
};

TEST_F(MpvVideoPlayerTest, DoesNothingBeforeOpen)
{
    EXPECT_EQ(mPlayer->GetPosition(), -1.0f);
    EXPECT_EQ(mPlayer->GetDuration(), -1.0f);
    mPlayer->SetPosition(3.0f);
    mPlayer->Play();
    EXPECT_FALSE(mPlayer->Playing());
    mPlayer->Pause();
    QTest::qWait(600);
    EXPECT_TRUE(mPositions.isEmpty());
    EXPECT_EQ(mStops, 0);
}

TEST_F(MpvVideoPlayerTest, OpenShowsTheFirstFramePaused)
{
    for (const QString& file : {TestVideos().WithSound, TestVideos().WithoutSound}) {
        SCOPED_TRACE(file.toStdString());
        mPlayer->Open(file);
        EXPECT_FALSE(mPlayer->Playing());
        EXPECT_NEAR(mPlayer->GetDuration(), TestVideoSeconds, 0.05);
        ASSERT_TRUE(WaitUntil([&] {
            const QImage picture = GrabVideoPanel(&mPanel);
            return TestVideoFrameNumber(picture) == 0 && ShowsTestVideoBars(picture);
        })) << "frame shown: " << FrameShown();
        EXPECT_NEAR(mPlayer->GetPosition(), 0.0, 0.01);
        // Still paused a while later.
        QTest::qWait(300);
        EXPECT_EQ(FrameShown(), 0);
    }
    EXPECT_EQ(mStops, 0);
}

TEST_F(MpvVideoPlayerTest, PlayReportsRisingPositionsEveryHalfSecondUntilPause)
{
    mPlayer->Open(TestVideos().WithSound);
    mPlayer->Play();
    EXPECT_TRUE(mPlayer->Playing());
    const qint64 start = mClock.elapsed();
    ASSERT_TRUE(WaitUntil([&] { return mPositions.size() >= 3; }));
    for (int i = 0; i < mPositions.size(); ++i) {
        const qint64 sincePrevious = mPositionTimes[i] - (i ? mPositionTimes[i - 1] : start);
        EXPECT_NEAR(sincePrevious, 500, 150) << "report " << i;
        if (i) {
            EXPECT_GT(mPositions[i], mPositions[i - 1]);
        }
    }
    // Positions follow the clock of the video.
    EXPECT_NEAR(mPositions.back() - mPositions.front(), (mPositionTimes.back() - mPositionTimes.front()) / 1000.0, 0.25);

    mPlayer->Pause();
    EXPECT_FALSE(mPlayer->Playing());
    const int reports = mPositions.size();
    QTest::qWait(700);
    EXPECT_EQ(mPositions.size(), reports);
    // A pause asked for by the caller is no stop event.
    EXPECT_EQ(mStops, 0);
    const float pausedAt = mPlayer->GetPosition();
    EXPECT_GE(pausedAt, mPositions.back());
    QTest::qWait(200);
    EXPECT_EQ(mPlayer->GetPosition(), pausedAt);
}

TEST_F(MpvVideoPlayerTest, WhilePlayingThePositionIsAskedOfMpvAtOnceWithTheSoundsClockWhereThereIsSound)
{
    for (const QString& file : {TestVideos().WithSound, TestVideos().WithoutSound}) {
        SCOPED_TRACE(file.toStdString());
        const bool sound = file == TestVideos().WithSound;
        mPlayer->Open(file);
        TPlayingPosition paused = mPlayer->PlayingPosition();
        EXPECT_EQ(paused.Frame, mPlayer->GetPosition());
        EXPECT_FALSE(paused.Clock);

        mPlayer->Play();
        QTest::qWait(600);
        // No events are handled while the thread sleeps: the reported
        // position stands still, the one asked for moves on.
        const float reported = mPlayer->GetPosition();
        const TPlayingPosition before = mPlayer->PlayingPosition();
        QThread::msleep(300);
        const TPlayingPosition after = mPlayer->PlayingPosition();
        EXPECT_EQ(mPlayer->GetPosition(), reported);
        EXPECT_NEAR(after.Frame - before.Frame, 0.3, 0.1);
        ASSERT_EQ(bool(after.Clock), sound);
        if (sound) {
            EXPECT_NEAR(*after.Clock - *before.Clock, 0.3, 0.05);
            EXPECT_NEAR(*after.Clock, after.Frame, 0.1);
        }

        mPlayer->Pause();
        paused = mPlayer->PlayingPosition();
        EXPECT_EQ(paused.Frame, mPlayer->GetPosition());
        EXPECT_FALSE(paused.Clock);
    }
}

TEST_F(MpvVideoPlayerTest, SeekShowsTheFrameAtTheInstantNotTheKeyFrame)
{
    mPlayer->Open(TestVideos().WithoutSound);
    // The clip's only key frame is frame 0; frames last 40 ms.
    const struct {
        float Seconds;
        int Frame;
    } cases[] = {{7.32f, 183}, {2.0f, 50}, {9.96f, 249}, {0.52f, 13}};
    for (const auto& c : cases) {
        mPlayer->SetPosition(c.Seconds);
        EXPECT_TRUE(WaitForFrame(c.Frame)) << "seek to " << c.Seconds << " shows " << FrameShown();
        EXPECT_TRUE(WaitUntil([&] { return qAbs(mPlayer->GetPosition() - c.Seconds) < 0.001f; }))
            << "position " << mPlayer->GetPosition() << " after seeking to " << c.Seconds;
    }
    EXPECT_FALSE(mPlayer->Playing());
    EXPECT_EQ(mStops, 0);
}

TEST_F(MpvVideoPlayerTest, AScrubShowsKeyFramesAsItGoesAndAnExactSeekEndsIt)
{
    mPlayer->Open(TestVideos().KeyFramed);
    mPlayer->Play();
    // Targets asked for faster than pictures come: the picture keeps up with
    // the latest, key frame by key frame, paused.
    for (float target = 0.5f; target < 7.9f; target += 0.1f) {
        mPlayer->ScrubTo(target);
        QTest::qWait(2);
    }
    mPlayer->ScrubTo(7.9f);
    EXPECT_FALSE(mPlayer->Playing());
    ASSERT_TRUE(WaitUntil([&] { return !mScrubsShown.isEmpty() && qAbs(mScrubsShown.back() - 7.0) < 0.001; }))
        << "last scrub picture at " << (mScrubsShown.isEmpty() ? -1 : mScrubsShown.back());
    EXPECT_TRUE(WaitForFrame(175)) << FrameShown();
    for (const double shown : mScrubsShown)
        EXPECT_NEAR(shown, std::round(shown), 0.001) << "a scrub showed " << shown << ", which is no key frame";
    // Fewer pictures than targets, as each waits for the one before.
    EXPECT_LT(mScrubsShown.size(), 75);

    mPlayer->SetPosition(7.88f);
    EXPECT_TRUE(WaitForFrame(197)) << FrameShown();
    EXPECT_TRUE(WaitUntil([&] { return qAbs(mPlayer->GetPosition() - 7.88f) < 0.001f; })) << mPlayer->GetPosition();
    EXPECT_EQ(mStops, 0);
}

TEST_F(MpvVideoPlayerTest, StepsGoFromFrameToFrameByTheFramesOwnTimes)
{
    // Each clip's sound runs on past the start of its last frame. In the clip
    // with a variable rate, frame 50 follows 49 after 20 ms and 51 follows
    // 50 after 100 ms.
    const struct {
        const char* Name;
        QString File;
        std::function<double(int)> Time;
        int Frames;
        int Middle;
    } clips[] = {
        {"variable rate", TestVideos().VariableRate, VariableRateFrameTime, VariableRateFrames, 49},
        {"29.97 fps", TestVideos().Ntsc, NtscFrameTime, NtscFrames, 40},
        {"25 fps", TestVideos().WithSound, [](int frame) { return double(frame) / TestVideoFps; },
         int(TestVideoSeconds * TestVideoFps), 100},
    };
    for (const auto& clip : clips) {
        SCOPED_TRACE(clip.Name);
        mPlayer->Open(clip.File);
        const int m = clip.Middle;
        const int last = clip.Frames - 1;
        const auto step = [this](int frames) { return [this, frames] { mPlayer->StepFrames(frames); }; };
        const struct {
            std::function<void()> Command;
            int Frame;
        } moves[] = {
            {step(-1), 0},
            {step(1), 1},
            {step(-1), 0},
            {[&] { mPlayer->SetPosition(clip.Time(m)); }, m},
            {step(1), m + 1},
            {step(1), m + 2},
            {step(-1), m + 1},
            {step(-1), m},
            // Steps asked for before the last one has landed add up.
            {[&] { for (int i = 0; i < 3; ++i) mPlayer->StepFrames(1); }, m + 3},
            {[&] { mPlayer->ShowLastFrame(); }, last},
            {step(1), last},
            {step(-1), last - 1},
            {step(1), last},
            {step(-1), last - 1},
            {step(-1), last - 2},
        };
        for (const auto& move : moves) {
            SCOPED_TRACE("move " + std::to_string(&move - moves));
            const int reports = mFramesShown.size();
            move.Command();
            EXPECT_TRUE(WaitForFrame(move.Frame)) << "frame " << FrameShown() << " instead of " << move.Frame;
            const double time = clip.Time(move.Frame);
            EXPECT_TRUE(WaitUntil([&] { return qAbs(mPlayer->GetPosition() - time) < 1e-5; }))
                << mPlayer->GetPosition() << " instead of " << time << " for frame " << move.Frame;
            if (move.Frame == m)
                continue; // a seek to a time
            ASSERT_TRUE(WaitUntil([&] { return mFramesShown.size() > reports; })) << "frame " << move.Frame;
            EXPECT_EQ(mFramesShown.size(), reports + 1);
            EXPECT_NEAR(mFramesShown.back(), time, 1e-9) << "frame " << move.Frame;
        }
        EXPECT_FALSE(mPlayer->Playing());
    }
    EXPECT_EQ(mStops, 0);
}

TEST_F(MpvVideoPlayerTest, AStepWhilePlayingPausesAndGoesOnFromTheFrameShown)
{
    mPlayer->Open(TestVideos().VariableRate);
    mPlayer->Play();
    QTest::qWait(1500);
    mPlayer->StepFrames(1);
    EXPECT_FALSE(mPlayer->Playing());
    ASSERT_TRUE(WaitUntil([&] { return mFramesShown.size() == 1; }));
    // The frame after the one the pause left on screen, at its own time.
    int frame = 0;
    while (frame < VariableRateFrames && VariableRateFrameTime(frame) < mFramesShown.back() - 1e-9)
        ++frame;
    EXPECT_NEAR(mFramesShown.back(), VariableRateFrameTime(frame), 1e-9);
    EXPECT_TRUE(WaitForFrame(frame)) << FrameShown() << " instead of " << frame;
    QTest::qWait(300);
    EXPECT_EQ(FrameShown(), frame);
    EXPECT_EQ(mStops, 0);
}

TEST_F(MpvVideoPlayerTest, PlayRightAfterAStepOrASeekReportsThePositionsAsItGoes)
{
    // A step, one still on its way, and a seek to where the video already is.
    const std::function<void()> moves[] = {
        [&] {
            mPlayer->StepFrames(1);
            ASSERT_TRUE(WaitUntil([&] { return mFramesShown.size() == 1; }));
        },
        [&] {
            QTest::qWait(300);
            mPlayer->StepFrames(1);
        },
        [&] {
            QTest::qWait(300);
            mPlayer->SetPosition(2.0f);
            QTest::qWait(300);
        },
    };
    mPlayer->Open(TestVideos().WithoutSound);
    for (const auto& move : moves) {
        mPlayer->SetPosition(2.0f);
        move();
        mPositions.clear();
        mPlayer->Play();
        QTest::qWait(700);
        mPlayer->Pause();
        // Not held at 2.04 s until the guard against late reports expires.
        EXPECT_GT(mPlayer->GetPosition(), 2.04f + 0.3f) << &move - moves;
        ASSERT_FALSE(mPositions.isEmpty());
        EXPECT_GT(mPositions.back(), 2.04f + 0.2f) << &move - moves;
    }
}

TEST_F(MpvVideoPlayerTest, PositionsComeEveryHalfSecondOfVideoAtHigherSpeeds)
{
    const std::pair<double, int> intervals[] = {{0.125, 500}, {0.5, 500}, {1, 500}, {2, 250}, {8, 62}};
    for (const auto& [speed, intervalMs] : intervals)
        EXPECT_EQ(TMpvVideoPlayer::PositionReportIntervalMs(speed), intervalMs) << speed;

    mPlayer->SetSpeed(8);
    mPlayer->Open(TestVideos().WithSound);
    mPlayer->Play();
    ASSERT_TRUE(WaitUntil([&] { return mPositions.size() >= 8; }));
    mPlayer->Pause();
    // On average, as a busy machine delays single reports.
    const int gaps = mPositions.size() - 1;
    EXPECT_LT(double(mPositionTimes.back() - mPositionTimes.front()) / gaps, 62 + 20);
    EXPECT_LT((mPositions.back() - mPositions.front()) / gaps, 0.5 + 0.1);
    EXPECT_GT(mPositions.back() - mPositions.front(), 0);
}

TEST_F(MpvVideoPlayerTest, EndOfMediaStopsOnceAndPlayRestarts)
{
    mPlayer->Open(TestVideos().WithSound);
    mPlayer->SetPosition(9.3f);
    mPlayer->Play();
    ASSERT_TRUE(WaitUntil([&] { return mStops > 0; }));
    EXPECT_FALSE(mPlayer->Playing());
    const int reports = mPositions.size();
    QTest::qWait(700);
    EXPECT_EQ(mStops, 1);
    EXPECT_EQ(mPositions.size(), reports);
    // The last frame stays.
    EXPECT_EQ(FrameShown(), 249);

    mPlayer->Play();
    EXPECT_TRUE(mPlayer->Playing());
    ASSERT_TRUE(WaitUntil([&] { return mPositions.size() > reports; }));
    EXPECT_LT(mPositions.back(), 1.0f);
    EXPECT_EQ(mStops, 1);

    // A seek after the end, right before Play, is where playing goes on.
    mPlayer->SetPosition(9.5f);
    ASSERT_TRUE(WaitUntil([&] { return mStops == 2; }));
    mPlayer->SetPosition(5.0f);
    mPlayer->Play();
    const int reportsBefore = mPositions.size();
    ASSERT_TRUE(WaitUntil([&] { return mPositions.size() > reportsBefore; }));
    EXPECT_GE(mPositions.back(), 5.0f);
    EXPECT_LT(mPositions.back(), 6.0f);
}

TEST_F(MpvVideoPlayerTest, OpeningAnotherFileWhilePlayingIsNoStop)
{
    mPlayer->Open(TestVideos().WithSound);
    mPlayer->Play();
    ASSERT_TRUE(WaitUntil([&] { return !mPositions.isEmpty(); }));

    // Closing the old file and starting the new one holds up nothing.
    QElapsedTimer openClock;
    openClock.start();
    mPlayer->Open(TestVideos().WithoutSound);
    EXPECT_LT(openClock.elapsed(), 400);
    EXPECT_FALSE(mPlayer->Playing());
    const int reports = mPositions.size();
    ASSERT_TRUE(WaitForFrame(0));
    QTest::qWait(700);
    EXPECT_EQ(mStops, 0);
    EXPECT_EQ(mPositions.size(), reports);
    EXPECT_NEAR(mPlayer->GetPosition(), 0.0, 0.01);

    mPlayer->Play();
    ASSERT_TRUE(WaitUntil([&] { return mPositions.size() > reports; }));
    EXPECT_LT(mPositions.back(), 1.0f);
}

TEST_F(MpvVideoPlayerTest, UnplayableFilesRaiseTheMappedText)
{
    const struct {
        QString File;
        const char* FirstLine;
        const char* Reason;
    } cases[] = {
        {TestVideos().Missing, "MF Player error: FFFFFFF3", "The file does not exist: "},
        {TestVideos().TextAsMp4, "The video or audio codec is not supported.", ""},
    };
    for (const auto& c : cases) {
        // A file that was playing is closed first, without a stop event.
        mPlayer->Open(TestVideos().WithSound);
        mPlayer->Play();
        try {
            mPlayer->Open(c.File);
            ADD_FAILURE() << "no error for " << c.File.toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(FirstLine(e), c.FirstLine);
            EXPECT_TRUE(e.Message().contains(QLatin1String(c.Reason) + c.File)) << e.what();
        }
        EXPECT_FALSE(mPlayer->Playing());
        EXPECT_EQ(mPlayer->GetPosition(), -1.0f);
        EXPECT_EQ(mPlayer->GetDuration(), -1.0f);
    }
    QTest::qWait(600);
    EXPECT_EQ(mStops, 0);
    EXPECT_TRUE(mPositions.isEmpty());

    // The player is still usable.
    mPlayer->Open(TestVideos().WithoutSound);
    EXPECT_NEAR(mPlayer->GetDuration(), TestVideoSeconds, 0.05);
}

TEST_F(MpvVideoPlayerTest, ClosingOrAFailedOpenLeavesNoPicture)
{
    const struct {
        const char* Name;
        std::function<void()> Close;
    } closers[] = {
        {"Close", [this] { mPlayer->Close(); }},
        {"failed Open", [this] { EXPECT_THROW(mPlayer->Open(TestVideos().TextAsMp4), Exception); }},
    };
    for (const auto& closer : closers) {
        SCOPED_TRACE(closer.Name);
        mPlayer->Open(TestVideos().WithSound);
        mPlayer->SetPosition(4.0f);
        ASSERT_TRUE(WaitForFrame(100));
        closer.Close();
        EXPECT_TRUE(WaitUntil([&] {
            const QImage picture = GrabVideoPanel(&mPanel);
            return TestVideoFrameNumber(picture) == -1 && !ShowsTestVideoBars(picture);
        })) << "frame still shown: " << FrameShown();
    }
    // The next file shows again.
    mPlayer->Open(TestVideos().WithoutSound);
    EXPECT_TRUE(WaitForFrame(0));
}

TEST_F(MpvVideoPlayerTest, OpenWaitsForTheFileToPlayOrFail)
{
    // A sound output that cannot start: mpv reports the file loaded, then
    // gives up on the audio track. A file with no other track fails, every
    // time, however late mpv's error comes; one with a picture plays.
    const QString unwritable = QDir(QDir::tempPath()).filePath(QStringLiteral("no-such-folder/out.wav"));
    TMpvVideoPlayer player(NoHardwareOptions() + TMpvOptions{{"ao", "pcm"}, {"ao-pcm-file", unwritable}});
    player.SetVideoWindow(&mPanel);
    for (int i = 0; i < 5; ++i) {
        try {
            player.Open(TestVideos().AudioOnly);
            ADD_FAILURE() << "no error on try " << i;
        } catch (const Exception& e) {
            EXPECT_EQ(FirstLine(e), "MF Player error: FFFFFFF2") << e.what();
        }
        EXPECT_EQ(player.GetDuration(), -1.0f);
        // Nothing of the failed file surfaces later.
        QTest::qWait(50);
        player.SetPosition(1.0f);
        EXPECT_EQ(player.GetPosition(), -1.0f);
    }
    player.Open(TestVideos().WithSound);
    EXPECT_NEAR(player.GetDuration(), TestVideoSeconds, 0.05);
}

TEST(MpvVideoPlayerNoSoundDevice, PlaysSilently)
{
    // No sound server or ALSA device can be reached.
    const struct {
        const char* Name;
        const char* Value;
    } environment[] = {{"PULSE_SERVER", "unix:/nonexistent/pulse"}, {"PIPEWIRE_REMOTE", "/nonexistent/pipewire"},
                       {"ALSA_CONFIG_PATH", "/nonexistent/alsa.conf"}, {"JACK_NO_START_SERVER", "1"},
                       {"SDL_AUDIODRIVER", "none"}};
    for (const auto& variable : environment)
        qputenv(variable.Name, variable.Value);

    QWidget panel;
    TMpvVideoPlayer player(NoHardwareOptions());
    player.SetVideoWindow(&panel);
    QList<float> positions;
    player.OnPosition = [&](TVideoPlayer*, float position) { positions.append(position); };
    for (const QString& file : {TestVideos().AudioOnly, TestVideos().WithSound}) {
        SCOPED_TRACE(file.toStdString());
        positions.clear();
        player.Open(file);
        EXPECT_NEAR(player.GetDuration(), TestVideoSeconds, 0.05);
        player.Play();
        ASSERT_TRUE(WaitUntil([&] { return positions.size() >= 2; }));
        EXPECT_GT(positions[1], positions[0]);
    }
    for (const auto& variable : environment)
        qunsetenv(variable.Name);
}

TEST(MpvVideoPlayerHiddenWindow, PlaysWithoutPictureAndClosesCleanly)
{
    // Nothing can be drawn into a window that was never shown; the video is
    // still timed.
    QWidget panel;
    auto player = std::make_unique<TMpvVideoPlayer>(TestOptions());
    player->SetVideoWindow(&panel);
    player->Open(TestVideos().WithoutSound);
    EXPECT_NEAR(player->GetDuration(), TestVideoSeconds, 0.05);
    QList<float> positions;
    player->OnPosition = [&](TVideoPlayer*, float position) { positions.append(position); };
    player->Play();
    ASSERT_TRUE(WaitUntil([&] { return positions.size() >= 2; }));
    EXPECT_GT(positions[1], positions[0]);
    player.reset();
}

TEST(MpvVideoPlayerWindowGone, PlayerOutlivesItsVideoWindow)
{
    // At exit the main window's panel may go before the player.
    auto panel = std::make_unique<QWidget>();
    panel->resize(TestVideoWidth, TestVideoHeight);
    panel->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    auto player = std::make_unique<TMpvVideoPlayer>(TestOptions());
    player->SetVideoWindow(panel.get());
    player->Open(TestVideos().WithSound);
    player->Play();
    QTest::qWait(200);
    panel.reset();
    QTest::qWait(300);
    EXPECT_GT(player->GetPosition(), 0.0f);
    player.reset();
}

TEST(MpvVideoPlayerOptions, ABadOptionRaises)
{
    try {
        TMpvVideoPlayer player(TMpvOptions{{"no-such-option", "1"}});
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(FirstLine(e), "MF Player error: FFFFFFFB");
        EXPECT_TRUE(e.Message().contains("no-such-option=1")) << e.what();
    }
}

} // namespace
