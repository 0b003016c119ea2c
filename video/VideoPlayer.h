#pragma once

#include "video/PlayingPosition.h"

#include <QSize>

#include <functional>
#include <memory>

class QString;
class QWidget;

// A video player that draws into a window lent to it and reports its position
// while it plays. Times cross this interface as seconds in single precision;
// -1.0 means that no video is open.
class TVideoPlayer {
public:
    using TPositionEvent = std::function<void(TVideoPlayer* sender, float position)>;
    using TStopEvent = std::function<void(TVideoPlayer* sender)>;
    using TFrameEvent = std::function<void(TVideoPlayer* sender, double seconds)>;

    virtual ~TVideoPlayer() = default;

    // The window the picture is drawn into; used by the next Open.
    void SetVideoWindow(QWidget* window) { mVideoWindow = window; }
    QWidget* VideoWindow() const { return mVideoWindow; }

    // Called while playing, every 500 ms at normal speed and at least every
    // 500 ms of video at higher speeds.
    TPositionEvent OnPosition;
    // Called when playback pauses, stops or reaches the end of the media, after
    // Playing has turned false.
    TStopEvent OnStop;
    // Called when the frame that StepFrames or ShowLastFrame went to is shown,
    // with that frame's own time, in double precision.
    TFrameEvent OnFrameShown;
    // Called when the picture of a ScrubTo is shown, with that picture's time.
    TFrameEvent OnScrubShown;

    bool Playing() const { return mPlaying; }

    // Closes any open file, then opens this one, shows its first picture and
    // leaves it paused. Raises an Exception when the file cannot be played.
    virtual void Open(const QString& fileName) = 0;
    virtual void Close() = 0;
    // Without an open file these do nothing.
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void SetPosition(float seconds) = 0;
    // -1.0 without an open file.
    virtual float GetPosition() = 0;
    virtual float GetDuration() = 0;
    // Where the video is at this moment, asked of the player now rather than
    // taken from its last report: for holding players together while they
    // play. Where it is paused or a seek is on its way, GetPosition's time
    // and no clock; a Frame of -1.0 without an open file.
    virtual TPlayingPosition PlayingPosition() = 0;

    // Where a file tells no frame rate, a frame counts as this long.
    static constexpr float FallbackFrameSeconds = 0.04f;
    // The length of one frame in seconds, from the file's frame rate; -1.0
    // without an open file.
    virtual float FrameDuration() = 0;
    // Pauses, then shows the frame `frames` frames after the one on screen
    // (before it, when negative), held within the media, going by the
    // frames' own times, so also where the frame rate varies. OnFrameShown
    // follows, possibly later. Without an open file it does nothing.
    virtual void StepFrames(int frames) = 0;
    // Pauses, then shows the last frame; OnFrameShown follows, possibly
    // later. Without an open file it does nothing.
    virtual void ShowLastFrame() = 0;
    // A quick move to the key frame at or before `seconds`, for a picture that
    // follows a dragging pointer: it stays paused, and a move asked for while
    // the one before is still on its way replaces any other waiting, so that
    // the picture keeps up with the pointer rather than with every step of it.
    // An exact SetPosition ends the drag. Without an open file it does
    // nothing.
    virtual void ScrubTo(float seconds) = 0;
    // The playback speed as a factor, 1 being normal; the sound keeps its
    // pitch. It holds for the files opened later too, and so does the
    // quicker pace of the position reports that goes with a higher speed.
    virtual void SetSpeed(double speed) = 0;

    // The size of the picture as it is shown, its aspect ratio applied; empty
    // without an open file or a video track.
    virtual QSize PictureSize() = 0;
    // Silences the sound, or lets it be heard again; also for the files
    // opened later.
    virtual void SetMuted(bool muted) = 0;
    // Shows the picture darker, or as it is again.
    virtual void SetDimmed(bool dimmed) = 0;
    // A new player of the same kind and options, with no file open, for
    // another video shown beside this one's.
    virtual std::unique_ptr<TVideoPlayer> NewPlayer() const = 0;

protected:
    bool mPlaying = false;

private:
    QWidget* mVideoWindow = nullptr;
};
