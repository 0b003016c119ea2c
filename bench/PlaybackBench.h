#pragma once

// plotreel-bench playback: plays a generated 1080p30 clip for 20 s in the main
// window, then in the mpv player with a window of the video panel's size, and
// prints the CPU time of each and their ratio. Needs a display, ffmpeg and mpv
// (scripts/install-deps.sh --with-bench). Returns the process exit code.
//
// plotreel-bench playback2: the same for two generated clips played together,
// the second added beside the first, against two mpv players at once, and the
// largest distance between the frames the two pictures show on the screen at
// one moment while they play, sampled every 100 ms, in frames. The spread of
// those distances, and of the players' clocks, goes to stderr.
int RunPlaybackBench(int argc, char** argv);
