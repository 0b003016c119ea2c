#pragma once

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

// What a playing added video does when it has drifted from where it belongs:
// nothing while the drift stays within half a frame; a seek when it is far
// off; otherwise a speed slightly off the main video's that makes the drift
// up over the next second or so.
struct TFollowerCorrection {
    bool Seek = false;
    // The factor on the main video's speed.
    double SpeedFactor = 1;
};

// `ahead`: how far the added video's position lies ahead of where it
// belongs, in seconds of its own time.
TFollowerCorrection FollowerCorrection(double ahead, double frameSeconds);
