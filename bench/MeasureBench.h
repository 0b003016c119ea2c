#pragma once

// plotreel-bench measure: how long the A/B measurement of 10 series of 10
// million points takes with A and B a minute apart on a 100-minute span
// (about 2 GB of memory; no display needed). Returns the process exit code.
int RunMeasureBench(int argc, char** argv);
