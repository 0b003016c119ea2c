#pragma once

// plotreel-bench playback: plays a generated 1080p30 clip for 20 s in the main
// window, then in the mpv player with a window of the video panel's size, and
// prints the CPU time of each and their ratio. Needs a display, ffmpeg and mpv
// (scripts/install-deps.sh --with-bench). Returns the process exit code.
int RunPlaybackBench(int argc, char** argv);
