#pragma once

// plotreel-bench lines: times ways of drawing ten antialiased lines of a
// thousand points, 2 pixels wide, on a 1200 x 200 image, as a 1 % view of the
// scale figures draws them, and counts the pixels where each differs from
// one polyline a series. Needs no display. Returns the process exit code.
int RunLineDrawingBench(int argc, char** argv);
