#pragma once

#include "video/VideoPlayer.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <optional>

struct mpv_event;
struct mpv_handle;
class TMpvVideoSurface;

// mpv options as (name, value) pairs, applied in this order.
using TMpvOptions = QList<QPair<QString, QString>>;

// The video player over libmpv. It owns the mpv handle, handles mpv's events
// and runs the position reports, all on the UI thread; mpv draws the picture
// itself into a TMpvVideoSurface that the first Open places in the video
// window.
//
// OnStop follows a pause that mpv makes by itself, the end of the media and
// the end of a file on an error, each while playing; Pause, Open and Close
// stop playing without it. Play at the end of the media starts again from
// the beginning. Seeks are exact: the picture shown is the first frame at or
// after the target.
//
// Frame steps and the way to the last frame are seeks too, taken one at a
// time: each waits until mpv has shown the frame of the one before and said
// its time.
//
// The picture needs the video window to be visible when Open is called; a
// file opened while it is hidden is timed and heard but not shown.
class TMpvVideoPlayer : public QObject, public TVideoPlayer {
    Q_OBJECT
public:
    // extraOptions are applied after the player's own options and may
    // override them (for example "ao" = "null" where there is no sound device).
    explicit TMpvVideoPlayer(const TMpvOptions& extraOptions = {}, QObject* parent = nullptr);
    ~TMpvVideoPlayer() override;

    // Waits at most this long for mpv to load the file.
    static constexpr int OpenTimeoutMs = 5100;
    static constexpr int PositionIntervalMs = 500;
    // How often the position is reported while playing at this speed: every
    // 500 ms at normal speed and below, every 500 ms of video above it.
    static int PositionReportIntervalMs(double speed);

    void Open(const QString& fileName) override;
    void Close() override;
    void Play() override;
    void Pause() override;
    void SetPosition(float seconds) override;
    float GetPosition() override;
    float GetDuration() override;
    TPlayingPosition PlayingPosition() override;
    float FrameDuration() override;
    void StepFrames(int frames) override;
    void ShowLastFrame() override;
    void ScrubTo(float seconds) override;
    void SetSpeed(double speed) override;
    QSize PictureSize() override;
    void SetMuted(bool muted) override;
    void SetDimmed(bool dimmed) override;
    std::unique_ptr<TVideoPlayer> NewPlayer() const override;

private:
    // What an event means to the waiting Open, if anything.
    enum class TLoadProgress { None, Started, Loaded, Restarted, Failed, ValueRead, TrackRead };
    // What a seek of ours is for: a step or the last frame, whose frame is
    // told, or a time, whose frame is not.
    enum class TSeekPurpose { Time, Step, LastFrame };

    // Called by mpv on one of its own threads: only posts DrainEvents to the
    // UI thread.
    static void OnMpvWakeup(void* player);
    void DrainEvents();
    TLoadProgress HandleEvent(const mpv_event& event, int& loadError);
    void StopSequence();
    void ReportPosition();
    void EnsureVideoSurface();
    // Takes mpv's video output off the surface, which is about to go.
    void ReleaseVideoSurface();
    void SetPause(bool pause);
    // An exact seek to `target`, after which the position is taken to be
    // `expected` until mpv reports one between `landLow` and `landHigh`.
    void SeekExact(double target, double expected, double landLow, double landHigh, TSeekPurpose purpose);
    // Takes the next of the steps due, if any, or else tells where the last
    // one landed.
    // `justPastEnd`: mpv has just shown the last frame after a seek past the
    // end.
    void TakeNextStep(bool justPastEnd);
    void SeekPastEnd();
    void SendScrub();
    // Any step or exact seek under way is given up; positions mpv reports are
    // believed as they come.
    void ForgetSeeks();
    // The time of the frame that a seek of ours showed, as mpv says it once
    // playback has restarted.
    void Landed(double position);
    // Whether mpv may be saying the end of the sound track rather than the
    // time of the last frame.
    bool MayBePastLastFrame(double position);
    bool NearEndOfMedia(double position);
    void AwaitLanding(TSeekPurpose purpose);
    // Whether a seek of ours is still to land; one that mpv has not answered
    // in time is given up.
    bool SeekLanding() const;
    // While a step or the way to the last frame is under way, the positions
    // that mpv reports are those it passes, and only its answer after the
    // landing counts.
    bool SteppingNow() const;
    void AskLandingPosition();

    TMpvOptions mExtraOptions;
    mpv_handle* mMpv = nullptr;
    QPointer<TMpvVideoSurface> mVideoSurface;
    QTimer mPositionTimer;
    QString mFileName;
    // The video output mpv is set to, and the one it uses where the picture
    // can be shown (the other being null).
    QString mVideoOutput;
    QString mShownVideoOutput;
    bool mOpen = false;
    // The last value of mpv's pause property known here, set by mpv's reports
    // and by our own sets, so that only pauses coming from mpv stop playback.
    bool mPaused = true;
    bool mEofReached = false;
    // Observed values; empty while mpv has none.
    std::optional<double> mTimePos;
    std::optional<double> mDuration;
    std::optional<double> mContainerFps;
    std::optional<double> mEstimatedFps;
    // Read when the file is opened.
    QSize mPictureSize;
    // While a seek of ours is on its way, positions reported outside where it
    // lands are older ones and are ignored, until it lands or this expires.
    QDeadlineTimer mLanding;
    double mLandLow = 0;
    double mLandHigh = 0;
    // Frame steps still to take, negative for steps back.
    int mStepsDue = 0;
    // A seek of ours whose landing is still to be told by mpv; the position
    // then asked for is answered under the ticket of that seek, so that the
    // answer for a seek overtaken by a newer one is known.
    bool mSeekInFlight = false;
    bool mAwaitingRestart = false;
    quint64 mSeekTicket = 0;
    QDeadlineTimer mSeekDeadline;
    int mLandingRetries = 0;
    // Where the step forward in flight went; mpv leaves the position there
    // when it finds no frame after it.
    double mStepTarget = -1;
    // The last frame's time, once a seek past the end has shown it.
    std::optional<double> mLastFrame;
    // A scrub's key frame seek that mpv has not yet shown, until the deadline,
    // and the target of the next one, which waits for it.
    bool mScrubInFlight = false;
    QDeadlineTimer mScrubDeadline;
    std::optional<double> mScrubDue;
    // What the seek in flight, or else the last one, was for.
    TSeekPurpose mSeekPurpose = TSeekPurpose::Time;
};
