#pragma once

#include "video/PlayingPosition.h"

// Where an added video stands at a moment of the main video: the time of its
// own to show, held within its frames, and whether the moment lies outside
// it (before its first frame or after its last).
struct TFollowerTime {
    double Seconds = 0;
    bool Outside = false;
};

// The moment `mainSeconds` of the main video in an added video of
// `duration` seconds whose frames last `frameSeconds`, `offsetSeconds` later
// in its own time. Past the end it is the last frame's time.
TFollowerTime FollowerTimeAt(double mainSeconds, double offsetSeconds, double duration, double frameSeconds);

// Whether a paused video at `shown` seconds shows the frame for `seconds`:
// the first frame at or after that time, or one within an exact seek's
// tolerance before it, in a video whose frames last `frameSeconds`.
bool ShowsFrameFor(double shown, double seconds, double frameSeconds);

// How far a playing added video lies ahead of where it belongs, in seconds of
// its own time, `offsetSeconds` later than the main video: by the players'
// clocks where both have one, which tell a drift finer than a frame, else by
// the frames on screen.
double FollowerAhead(const TPlayingPosition& main, const TPlayingPosition& added, double offsetSeconds);

// What a playing added video does when it has drifted from where it belongs:
// nothing while the drift stays within a fifth of a frame; a seek when it is
// far off; otherwise a speed slightly off the main video's that makes the
// drift up over the next half second or so, too little to be seen.
struct TFollowerCorrection {
    bool Seek = false;
    // The factor on the main video's speed.
    double SpeedFactor = 1;
};

// `ahead`: how far the added video's position lies ahead of where it
// belongs, in seconds of its own time.
TFollowerCorrection FollowerCorrection(double ahead, double frameSeconds);
