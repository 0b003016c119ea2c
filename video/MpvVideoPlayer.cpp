#include "video/MpvVideoPlayer.h"

#include "common/Exception.h"
#include "common/MessageBoxes.h"
#include "video/MpvVideoSurface.h"
#include "video/PlayerErrors.h"

#include <QDeadlineTimer>
#include <QVBoxLayout>

#include <mpv/client.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// reply_userdata of the asynchronous requests whose answers Open waits for.
constexpr quint64 LoadReply = 1;
constexpr quint64 DurationReply = 2;
constexpr quint64 PositionReply = 3;
constexpr quint64 VideoTrackReply = 4;
constexpr quint64 AudioTrackReply = 5;
constexpr quint64 ScrubReply = 6;
constexpr quint64 PictureWidthReply = 7;
constexpr quint64 PictureHeightReply = 8;
// The position asked for after a seek of ours lands comes back under this
// plus the seek's ticket.
constexpr quint64 LandingReplyBase = 16;

// The sound outputs mpv would probe by itself, then its null output, so that a
// machine without a sound device plays silently instead of failing. Names
// that this build of mpv lacks are skipped with a warning.
constexpr const char* AudioOutputs = "pipewire,pulse,alsa,jack,sdl,null";

// How much darker a dimmed picture is, on mpv's scale of -100 to 100.
constexpr qint64 DimmedBrightness = -45;

// mpv's own video output, drawing into the video surface's native window.
// "x11" would cost less in software, but its shared-memory images break Qt's
// connection to the X server when mpv closes it.
constexpr const char* VideoOutput = "gpu";

// mpv shows a frame up to this much before an exact seek's target.
constexpr double SeekTolerance = 0.005;
// How long a seek of ours may take to land before the positions mpv reports
// are believed again whatever they are.
constexpr int LandingTimeoutMs = 1000;
// A step forward seeks this far past the frame shown: mpv then shows the
// frame after it, however near that one follows.
constexpr double StepPastFrame = SeekTolerance + 0.0001;
// A seek this far past the end of the media shows the last frame and puts the
// position at that frame's time; a seek nearer the end may put it at the end
// of the sound track instead.
constexpr double PastEndSeconds = 1.0;
// How near a step's target a position left there by mpv may be, rounded by
// its ways of counting time.
constexpr double TargetLeftAsPosition = 0.0001;
// The sound's time lies at most this far from the picture's while it times
// the pictures.
constexpr double SoundClockReach = 0.1;
// How often, and how far apart, the time of the last frame is asked for again
// while mpv answers with the end of the media instead.
constexpr int MaxLandingRetries = 10;
constexpr int LandingRetryMs = 20;

std::optional<double> DoubleValue(const mpv_event_property& property)
{
    if (property.format != MPV_FORMAT_DOUBLE)
        return std::nullopt;
    return *static_cast<double*>(property.data);
}

bool FlagValue(const mpv_event_property& property)
{
    return property.format == MPV_FORMAT_FLAG && *static_cast<int*>(property.data) != 0;
}

} // namespace

TMpvVideoPlayer::TMpvVideoPlayer(const TMpvOptions& extraOptions, QObject* parent)
    : QObject(parent), mExtraOptions(extraOptions)
{
    mMpv = mpv_create();
    if (!mMpv)
        throw Exception(PlayerErrorMessage(
            MPV_ERROR_UNINITIALIZED, QStringLiteral("mpv needs the numeric locale \"C\"")));

    TMpvOptions options = {
        {"vo", VideoOutput},
        // Draw with OpenGL also where it is rendered in software (Mesa's
        // llvmpipe, as in a virtual X server) rather than fail.
        {"gpu-sw", "yes"},
        // The surface is an X11 window (see main), whatever session runs.
        {"gpu-context", "x11egl"},
        {"ao", AudioOutputs},
        {"hwdec", "auto-safe"},
        {"keep-open", "yes"},
        {"hr-seek", "yes"},
        {"idle", "yes"},
        {"pause", "yes"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        // Mouse events over the picture go on to Qt, and the pointer stays.
        {"input-cursor", "no"},
        {"cursor-autohide", "no"},
        {"terminal", "no"},
    };
    options += extraOptions;
    int result = 0;
    QString failedOption;
    for (const auto& [name, value] : options) {
        result = mpv_set_option_string(mMpv, name.toUtf8().constData(), value.toUtf8().constData());
        if (result < 0) {
            failedOption = name + QLatin1Char('=') + value;
            break;
        }
        if (name == QLatin1String("vo"))
            mVideoOutput = mShownVideoOutput = value;
    }
    if (result >= 0) {
        mpv_observe_property(mMpv, 0, "pause", MPV_FORMAT_FLAG);
        mpv_observe_property(mMpv, 0, "eof-reached", MPV_FORMAT_FLAG);
        mpv_observe_property(mMpv, 0, "time-pos", MPV_FORMAT_DOUBLE);
        mpv_observe_property(mMpv, 0, "duration", MPV_FORMAT_DOUBLE);
        mpv_observe_property(mMpv, 0, "container-fps", MPV_FORMAT_DOUBLE);
        mpv_observe_property(mMpv, 0, "estimated-vf-fps", MPV_FORMAT_DOUBLE);
        mpv_set_wakeup_callback(mMpv, &TMpvVideoPlayer::OnMpvWakeup, this);
        result = mpv_initialize(mMpv);
    }
    if (result < 0) {
        mpv_terminate_destroy(mMpv);
        throw Exception(PlayerErrorMessage(result, failedOption));
    }

    mPositionTimer.setInterval(PositionIntervalMs);
    connect(&mPositionTimer, &QTimer::timeout, this, [this] { RunCommand([this] { ReportPosition(); }); });
}

TMpvVideoPlayer::~TMpvVideoPlayer()
{
    mPositionTimer.stop();
    mPlaying = false;
    // mpv lets go of the surface's window before the surface goes.
    delete mVideoSurface;
    mpv_set_wakeup_callback(mMpv, nullptr, nullptr);
    mpv_terminate_destroy(mMpv);
}

void TMpvVideoPlayer::OnMpvWakeup(void* player)
{
    auto* self = static_cast<TMpvVideoPlayer*>(player);
    QMetaObject::invokeMethod(self, [self] { self->DrainEvents(); }, Qt::QueuedConnection);
}

void TMpvVideoPlayer::DrainEvents()
{
    for (;;) {
        const mpv_event* event = mpv_wait_event(mMpv, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        int loadError = 0;
        HandleEvent(*event, loadError);
    }
}

TMpvVideoPlayer::TLoadProgress TMpvVideoPlayer::HandleEvent(const mpv_event& event, int& loadError)
{
    TLoadProgress progress = TLoadProgress::None;
    bool stopped = false;
    bool landed = false;
    std::optional<double> landing;
    std::optional<double> scrubShown;
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto& property = *static_cast<mpv_event_property*>(event.data);
        if (std::strcmp(property.name, "pause") == 0) {
            const bool paused = FlagValue(property);
            // Our own sets already updated mPaused; a difference is mpv's doing.
            if (paused != mPaused) {
                mPaused = paused;
                stopped = paused;
            }
        } else if (std::strcmp(property.name, "eof-reached") == 0) {
            mEofReached = FlagValue(property);
            if (mEofReached) {
                // With keep-open mpv pauses at the end of the media.
                mPaused = true;
                stopped = true;
            }
        } else if (std::strcmp(property.name, "time-pos") == 0 && !SteppingNow()) {
            const std::optional<double> position = DoubleValue(property);
            const bool landed = position && *position >= mLandLow && *position <= mLandHigh;
            if (mLanding.hasExpired() || landed) {
                mLanding = QDeadlineTimer();
                mTimePos = position;
                // Past the last frame, the last frame is what is shown.
                if (mTimePos && mLastFrame)
                    mTimePos = qMin(*mTimePos, *mLastFrame);
            }
        } else if (std::strcmp(property.name, "duration") == 0) {
            mDuration = DoubleValue(property);
        } else if (std::strcmp(property.name, "container-fps") == 0) {
            mContainerFps = DoubleValue(property);
        } else if (std::strcmp(property.name, "estimated-vf-fps") == 0) {
            mEstimatedFps = DoubleValue(property);
        }
        break;
    }
    case MPV_EVENT_START_FILE:
        progress = TLoadProgress::Started;
        break;
    case MPV_EVENT_FILE_LOADED:
        progress = TLoadProgress::Loaded;
        break;
    case MPV_EVENT_END_FILE: {
        const auto& endFile = *static_cast<mpv_event_end_file*>(event.data);
        stopped = true;
        if (endFile.reason == MPV_END_FILE_REASON_ERROR) {
            loadError = endFile.error;
            progress = TLoadProgress::Failed;
        }
        break;
    }
    case MPV_EVENT_COMMAND_REPLY:
        if (event.reply_userdata == LoadReply && event.error < 0) {
            loadError = event.error;
            progress = TLoadProgress::Failed;
        }
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        progress = TLoadProgress::Restarted;
        if (mScrubInFlight) {
            mScrubInFlight = false;
            mpv_get_property_async(mMpv, ScrubReply, "time-pos", MPV_FORMAT_DOUBLE);
        }
        if (mSeekInFlight && mAwaitingRestart) {
            mAwaitingRestart = false;
            AskLandingPosition();
        }
        break;
    case MPV_EVENT_GET_PROPERTY_REPLY:
        if (mSeekInFlight && event.reply_userdata == LandingReplyBase + mSeekTicket) {
            landing = event.error >= 0 ? DoubleValue(*static_cast<mpv_event_property*>(event.data)) : std::nullopt;
            landed = true;
        }
        if (event.reply_userdata == ScrubReply) {
            if (event.error >= 0)
                scrubShown = DoubleValue(*static_cast<mpv_event_property*>(event.data));
        } else if (event.reply_userdata == PictureWidthReply || event.reply_userdata == PictureHeightReply) {
            // Unavailable without a video track.
            if (event.error >= 0) {
                const auto& property = *static_cast<mpv_event_property*>(event.data);
                const int value = property.format == MPV_FORMAT_INT64 ? int(*static_cast<qint64*>(property.data)) : 0;
                if (event.reply_userdata == PictureWidthReply)
                    mPictureSize.setWidth(value);
                else
                    mPictureSize.setHeight(value);
            }
            progress = TLoadProgress::ValueRead;
        } else if (event.reply_userdata == DurationReply || event.reply_userdata == PositionReply) {
            std::optional<double>& value = event.reply_userdata == DurationReply ? mDuration : mTimePos;
            if (event.error >= 0)
                value = DoubleValue(*static_cast<mpv_event_property*>(event.data));
            progress = TLoadProgress::ValueRead;
        } else if (event.reply_userdata == VideoTrackReply || event.reply_userdata == AudioTrackReply) {
            // Unavailable when no track of that kind plays.
            progress = event.error >= 0 ? TLoadProgress::TrackRead : TLoadProgress::ValueRead;
        }
        break;
    default:
        break;
    }
    // Last, as OnStop may call back into the player and on into mpv, which
    // invalidates the event.
    if (stopped && mPlaying)
        StopSequence();
    if (mScrubDue && (!mScrubInFlight || mScrubDeadline.hasExpired()))
        RunCommand([this] { SendScrub(); });
    if (scrubShown && OnScrubShown)
        RunCommand([&] { OnScrubShown(this, *scrubShown); });
    if (landed) {
        mSeekInFlight = false;
        if (landing)
            RunCommand([&] { Landed(*landing); });
        else
            mStepsDue = 0;
    }
    return progress;
}

void TMpvVideoPlayer::StopSequence()
{
    mPlaying = false;
    if (OnStop)
        RunCommand([this] { OnStop(this); });
    mPositionTimer.stop();
}

void TMpvVideoPlayer::ReportPosition()
{
    if (OnPosition)
        OnPosition(this, GetPosition());
}

void TMpvVideoPlayer::EnsureVideoSurface()
{
    QWidget* window = VideoWindow();
    if (mVideoSurface || !window)
        return;
    mVideoSurface = new TMpvVideoSurface([this] { ReleaseVideoSurface(); }, window);
    QLayout* layout = window->layout();
    if (!layout) {
        layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    layout->addWidget(mVideoSurface);
}

void TMpvVideoPlayer::ReleaseVideoSurface()
{
    // At once, not queued: mpv's window inside the surface must be gone
    // before the surface's own window.
    mpv_set_property_string(mMpv, "vo", "null");
    mVideoOutput = QStringLiteral("null");
}

void TMpvVideoPlayer::SetPause(bool pause)
{
    mPaused = pause;
    int flag = pause ? 1 : 0;
    mpv_set_property_async(mMpv, 0, "pause", MPV_FORMAT_FLAG, &flag);
}

void TMpvVideoPlayer::Open(const QString& fileName)
{
    Close();
    EnsureVideoSurface();
    // A window that is not shown has no picture to show: the video is then
    // decoded but not drawn, so that the position and duration still work.
    const bool visible = mVideoSurface && mVideoSurface->parentWidget()->isVisible();
    const QString videoOutput = visible ? mShownVideoOutput : QStringLiteral("null");
    if (visible) {
        qint64 windowId = mVideoSurface->NativeWindowId();
        mpv_set_property_async(mMpv, 0, "wid", MPV_FORMAT_INT64, &windowId);
    }
    if (videoOutput != mVideoOutput) {
        const QByteArray name = videoOutput.toUtf8();
        const char* value = name.constData();
        mpv_set_property_async(mMpv, 0, "vo", MPV_FORMAT_STRING, &value);
        mVideoOutput = videoOutput;
    }

    const QByteArray path = fileName.toUtf8();
    const char* args[] = {"loadfile", path.constData(), "replace", nullptr};
    const int result = mpv_command_async(mMpv, LoadReply, args);
    if (result < 0)
        throw Exception(PlayerErrorMessage(result, fileName));

    // mpv loads in the background; wait here until it plays the file (paused)
    // or gives up. Events of the file that was open before come first and are
    // handled as usual.
    //
    // mpv reports the file loaded before it opens the decoders and the sound
    // output, and restarts playback even when none of them could be opened;
    // the end of the file on that error follows later. So once playback has
    // restarted, the length, the position and the tracks in play are asked
    // for together: mpv answers in order, after the restart, so the answers
    // tell whether a video or an audio track plays, and if none does, the
    // error is still to come.
    QDeadlineTimer deadline(OpenTimeoutMs);
    bool started = false;
    bool loaded = false;
    bool restarted = false;
    bool playsTrack = false;
    int repliesDue = 0;
    int loadError = 0;
    for (;;) {
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            break;
        const mpv_event* event = mpv_wait_event(mMpv, remaining / 1000.0);
        const TLoadProgress progress = HandleEvent(*event, loadError);
        if (progress == TLoadProgress::Started) {
            started = true;
        } else if (progress == TLoadProgress::Failed && (started || event->event_id == MPV_EVENT_COMMAND_REPLY)) {
            throw Exception(PlayerOpenErrorMessage(loadError, fileName));
        } else if (progress == TLoadProgress::Loaded && started) {
            loaded = true;
        } else if (progress == TLoadProgress::Restarted && loaded && !restarted) {
            restarted = true;
            mpv_get_property_async(mMpv, DurationReply, "duration", MPV_FORMAT_DOUBLE);
            mpv_get_property_async(mMpv, PositionReply, "time-pos", MPV_FORMAT_DOUBLE);
            mpv_get_property_async(mMpv, VideoTrackReply, "current-tracks/video/id", MPV_FORMAT_INT64);
            mpv_get_property_async(mMpv, AudioTrackReply, "current-tracks/audio/id", MPV_FORMAT_INT64);
            mpv_get_property_async(mMpv, PictureWidthReply, "dwidth", MPV_FORMAT_INT64);
            mpv_get_property_async(mMpv, PictureHeightReply, "dheight", MPV_FORMAT_INT64);
            repliesDue = 6;
        } else if ((progress == TLoadProgress::ValueRead || progress == TLoadProgress::TrackRead) && restarted) {
            playsTrack = playsTrack || progress == TLoadProgress::TrackRead;
            if (--repliesDue == 0 && playsTrack)
                break;
        }
    }
    // A file that is still loading counts as open; its position and duration
    // are unavailable until mpv reports them.
    mOpen = true;
    mFileName = fileName;
}

void TMpvVideoPlayer::Close()
{
    mPlaying = false;
    mPositionTimer.stop();
    if (!mOpen)
        return;
    SetPause(true);
    const char* args[] = {"stop", nullptr};
    mpv_command_async(mMpv, 0, args);
    mOpen = false;
    mFileName.clear();
    mEofReached = false;
    mTimePos.reset();
    mDuration.reset();
    mContainerFps.reset();
    mEstimatedFps.reset();
    mPictureSize = QSize();
    ForgetSeeks();
    mLastFrame.reset();
}

void TMpvVideoPlayer::ForgetSeeks()
{
    mLanding = QDeadlineTimer();
    mStepsDue = 0;
    mSeekInFlight = false;
    mScrubInFlight = false;
    mScrubDue.reset();
}

void TMpvVideoPlayer::Play()
{
    if (!mOpen)
        return;
    // Steps not yet taken are given up.
    mStepsDue = 0;
    // A step still on its way is given up, and after one only its frame's
    // time is taken for a while, against late reports of the positions passed
    // on the way, which lie before it; playing on from there, every later
    // position counts.
    if (!SeekLanding() || mSeekPurpose != TSeekPurpose::Time) {
        mSeekInFlight = false;
        mLandHigh = std::numeric_limits<double>::infinity();
    }
    // Playing on from the last frame restarts the media.
    if (mEofReached) {
        SeekExact(0, 0, 0, FrameDuration(), TSeekPurpose::Time);
        mEofReached = false;
    }
    SetPause(false);
    mPlaying = true;
    mPositionTimer.start();
}

void TMpvVideoPlayer::Pause()
{
    if (!mOpen)
        return;
    SetPause(true);
    mPlaying = false;
    mPositionTimer.stop();
}

void TMpvVideoPlayer::SetPosition(float seconds)
{
    if (!mOpen)
        return;
    ForgetSeeks();
    // mpv counts a negative absolute target from the end of the media.
    const double target = qMax(0.0, double(seconds));
    // The picture shown is the first frame at or after the target.
    SeekExact(target, target, target - SeekTolerance, target + FrameDuration(), TSeekPurpose::Time);
    // Off the end now, so that a Play right away starts from here; mpv
    // reports the end again if the target is the end.
    mEofReached = false;
}

void TMpvVideoPlayer::ScrubTo(float seconds)
{
    if (!mOpen)
        return;
    if (mPlaying)
        Pause();
    const bool scrubbing = mScrubInFlight || mScrubDue;
    if (!scrubbing)
        ForgetSeeks();
    // mpv counts a negative absolute target from the end of the media.
    mScrubDue = qMax(0.0, double(seconds));
    mTimePos = *mScrubDue;
    mEofReached = false;
    if (!mScrubInFlight || mScrubDeadline.hasExpired())
        SendScrub();
}

void TMpvVideoPlayer::SendScrub()
{
    if (!mScrubDue)
        return;
    const QByteArray text = QByteArray::number(*mScrubDue, 'g', 17);
    mScrubDue.reset();
    const char* args[] = {"seek", text.constData(), "absolute+keyframes", nullptr};
    const int result = mpv_command(mMpv, args);
    if (result < 0)
        throw Exception(PlayerErrorMessage(result, mFileName));
    mScrubInFlight = true;
    mScrubDeadline = QDeadlineTimer(LandingTimeoutMs);
}

void TMpvVideoPlayer::SeekExact(double target, double expected, double landLow, double landHigh,
                                TSeekPurpose purpose)
{
    const QByteArray text = QByteArray::number(target, 'g', 17);
    const char* args[] = {"seek", text.constData(), "absolute+exact", nullptr};
    const int result = mpv_command(mMpv, args);
    if (result < 0)
        throw Exception(PlayerErrorMessage(result, mFileName));
    mTimePos = expected;
    mLandLow = landLow;
    mLandHigh = landHigh;
    mLanding = QDeadlineTimer(LandingTimeoutMs);
    AwaitLanding(purpose);
}

void TMpvVideoPlayer::AwaitLanding(TSeekPurpose purpose)
{
    mSeekInFlight = true;
    mAwaitingRestart = true;
    mSeekDeadline = QDeadlineTimer(LandingTimeoutMs);
    mLandingRetries = 0;
    ++mSeekTicket;
    mSeekPurpose = purpose;
}

void TMpvVideoPlayer::AskLandingPosition()
{
    mpv_get_property_async(mMpv, LandingReplyBase + mSeekTicket, "time-pos", MPV_FORMAT_DOUBLE);
}

bool TMpvVideoPlayer::SeekLanding() const
{
    return mSeekInFlight && !mSeekDeadline.hasExpired();
}

bool TMpvVideoPlayer::SteppingNow() const
{
    return SeekLanding() && mSeekPurpose != TSeekPurpose::Time;
}

bool TMpvVideoPlayer::NearEndOfMedia(double position)
{
    // The last frame starts at least a frame before the end of the media,
    // where the sound track ends too.
    return mDuration && position > *mDuration - FrameDuration() / 2;
}

bool TMpvVideoPlayer::MayBePastLastFrame(double position)
{
    return mLastFrame ? position >= *mLastFrame : NearEndOfMedia(position);
}

void TMpvVideoPlayer::Landed(double position)
{
    // Near the end mpv may put the position at the end of the sound track,
    // or leave it at the target of a step forward when no frame came after
    // the last one; the last frame is shown either way.
    if (mSeekPurpose == TSeekPurpose::Step
        && (MayBePastLastFrame(position) || qAbs(position - mStepTarget) < TargetLeftAsPosition)) {
        SeekPastEnd();
        return;
    }
    // mpv may answer before it has taken the last frame's time, with the end
    // of the media or of the sound track; it says the frame's time soon after.
    if (mSeekPurpose == TSeekPurpose::LastFrame && NearEndOfMedia(position) && mLandingRetries < MaxLandingRetries) {
        ++mLandingRetries;
        mSeekInFlight = true;
        QTimer::singleShot(LandingRetryMs, this, [this, ticket = mSeekTicket] {
            if (mSeekInFlight && ticket == mSeekTicket)
                AskLandingPosition();
        });
        return;
    }
    if (mSeekPurpose == TSeekPurpose::LastFrame)
        mLastFrame = position;
    else if (mLastFrame)
        position = qMin(position, *mLastFrame);
    if (mSeekPurpose == TSeekPurpose::Time) {
        // Playing on from there, the positions come as they are. mpv reports
        // no new position for a seek to where it already was, so the landing
        // itself ends the wait for one.
        mLanding = QDeadlineTimer();
        if (!mPlaying)
            mTimePos = position;
        if (mStepsDue != 0)
            TakeNextStep(false);
        return;
    }
    mTimePos = position;
    // Reports of the positions passed on the way come late; only the frame's
    // own time is taken for a while.
    mLandLow = mLandHigh = position;
    mLanding = QDeadlineTimer(LandingTimeoutMs);
    TakeNextStep(mSeekPurpose == TSeekPurpose::LastFrame);
}

void TMpvVideoPlayer::TakeNextStep(bool justPastEnd)
{
    const double shown = mTimePos.value_or(0.0);
    if (mStepsDue == 0) {
        if (OnFrameShown)
            RunCommand([&] { OnFrameShown(this, shown); });
        return;
    }
    mEofReached = false;
    if (mStepsDue > 0) {
        --mStepsDue;
        mStepTarget = shown + StepPastFrame;
        SeekExact(mStepTarget, shown, shown, shown, TSeekPurpose::Step);
        return;
    }
    // mpv steps back from where it puts the position, which after the last
    // frame has been shown for a while is the end of the sound track, so the
    // last frame again; right after a seek past the end it is that frame's
    // time.
    if (!justPastEnd && MayBePastLastFrame(shown)) {
        SeekPastEnd();
        return;
    }
    ++mStepsDue;
    mStepTarget = -1;
    const char* args[] = {"frame-back-step", nullptr};
    const int result = mpv_command(mMpv, args);
    if (result < 0)
        throw Exception(PlayerErrorMessage(result, mFileName));
    AwaitLanding(TSeekPurpose::Step);
}

void TMpvVideoPlayer::SeekPastEnd()
{
    const double shown = mTimePos.value_or(0.0);
    SeekExact(mDuration.value_or(shown) + PastEndSeconds, shown, shown, shown, TSeekPurpose::LastFrame);
}

float TMpvVideoPlayer::FrameDuration()
{
    if (!mOpen)
        return -1.0f;
    for (const std::optional<double>& fps : {mContainerFps, mEstimatedFps}) {
        if (fps && *fps > 0)
            return static_cast<float>(1.0 / *fps);
    }
    return FallbackFrameSeconds;
}

void TMpvVideoPlayer::StepFrames(int frames)
{
    if (!mOpen)
        return;
    const bool wasPlaying = mPlaying;
    Pause();
    mStepsDue += frames;
    if (SeekLanding())
        return;
    if (wasPlaying) {
        // Steps go from the frame that the pause leaves on screen; mpv answers
        // after it has paused.
        AwaitLanding(TSeekPurpose::Time);
        mAwaitingRestart = false;
        AskLandingPosition();
        return;
    }
    TakeNextStep(false);
}

void TMpvVideoPlayer::ShowLastFrame()
{
    if (!mOpen)
        return;
    Pause();
    mStepsDue = 0;
    SeekPastEnd();
}

int TMpvVideoPlayer::PositionReportIntervalMs(double speed)
{
    return static_cast<int>(PositionIntervalMs / qMax(1.0, speed));
}

void TMpvVideoPlayer::SetSpeed(double speed)
{
    // mpv keeps the sound's pitch (audio-pitch-correction is on by default).
    mpv_set_property_async(mMpv, 0, "speed", MPV_FORMAT_DOUBLE, &speed);
    mPositionTimer.setInterval(PositionReportIntervalMs(speed));
}

float TMpvVideoPlayer::GetPosition()
{
    if (!mOpen)
        return -1.0f;
    if (!mTimePos)
        throw Exception(PlayerErrorMessage(MPV_ERROR_PROPERTY_UNAVAILABLE,
                                           QStringLiteral("position of ") + mFileName));
    return static_cast<float>(*mTimePos);
}

TPlayingPosition TMpvVideoPlayer::PlayingPosition()
{
    // While mpv loads or seeks, a synchronous read would wait for it, and
    // tell a position the seek is about to leave.
    if (!mOpen || !mPlaying || SeekLanding() || !mLanding.hasExpired())
        return {GetPosition(), std::nullopt};
    TPlayingPosition now;
    if (mpv_get_property(mMpv, "time-pos", MPV_FORMAT_DOUBLE, &now.Frame) < 0)
        return {GetPosition(), std::nullopt};
    if (mLastFrame)
        now.Frame = qMin(now.Frame, *mLastFrame);
    // mpv times the pictures by the sound where there is any; once the sound
    // has ended, or before it starts, its time lies away from the picture's.
    double sound = 0;
    if (mpv_get_property(mMpv, "audio-pts", MPV_FORMAT_DOUBLE, &sound) >= 0 && qAbs(sound - now.Frame) < SoundClockReach)
        now.Clock = sound;
    return now;
}

float TMpvVideoPlayer::GetDuration()
{
    if (!mOpen)
        return -1.0f;
    if (!mDuration)
        throw Exception(PlayerErrorMessage(MPV_ERROR_PROPERTY_UNAVAILABLE,
                                           QStringLiteral("duration of ") + mFileName));
    return static_cast<float>(*mDuration);
}

QSize TMpvVideoPlayer::PictureSize()
{
    return mOpen ? mPictureSize : QSize();
}

void TMpvVideoPlayer::SetMuted(bool muted)
{
    int flag = muted ? 1 : 0;
    mpv_set_property_async(mMpv, 0, "mute", MPV_FORMAT_FLAG, &flag);
}

void TMpvVideoPlayer::SetDimmed(bool dimmed)
{
    qint64 brightness = dimmed ? DimmedBrightness : 0;
    mpv_set_property_async(mMpv, 0, "brightness", MPV_FORMAT_INT64, &brightness);
}

std::unique_ptr<TVideoPlayer> TMpvVideoPlayer::NewPlayer() const
{
    return std::make_unique<TMpvVideoPlayer>(mExtraOptions);
}
