#pragma once

// plotreel-bench chart: drives a real main window (needs a display) with a
// companion file of 1 thousand points, then one of 10 series of 1 million
// points, and prints the cursor update, replot, memory and companion file
// figures. Returns the process exit code.
int RunChartBench(int argc, char** argv);

struct ScaleReplots {
    double FullView;
    double Zoomed;
};

// Part of plotreel-bench scale and all of scale1m: full and zoomed repaints
// of a bare chart of 10 series of 100 thousand points; returns them.
ScaleReplots PrintSmallReplotScaleFigures();

// Part of plotreel-bench scale: full and zoomed repaints of a bare chart of
// 10 series of 100 thousand points, then of 10 million points.
void PrintReplotScaleFigures();
