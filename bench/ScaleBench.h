#pragma once

// plotreel-bench scale: the figures of data at the scale of a hundred million
// points, drawn through a real main window (needs a display, about 5 GB of
// memory and a minute). Not for CI. Returns the process exit code.
int RunScaleBench(int argc, char** argv);

// plotreel-bench scale1m: only the full and zoomed repaints of 10 series of
// 100 thousand points, a few seconds. Returns the process exit code.
int RunSmallScaleBench(int argc, char** argv);
