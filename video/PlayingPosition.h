#pragma once

#include <optional>

// Where a playing video is at one moment, in seconds of its own time.
struct TPlayingPosition {
    // The time of the frame on screen.
    double Frame = -1;
    // The clock the player times its pictures by (its sound's), which runs on
    // between frames; empty where there is none to read, as for a video
    // without sound.
    std::optional<double> Clock;
};
