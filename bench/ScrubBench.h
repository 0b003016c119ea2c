#pragma once

// plotreel-bench scrub: drags the picture of a generated 60 s 1080p30 clip
// from its start to its end in 10 s, a scrub target every 16 ms as a pointer
// gives them, and prints how many pictures a second the player showed. Needs
// a display and ffmpeg. Returns the process exit code.
int RunScrubBench(int argc, char** argv);
