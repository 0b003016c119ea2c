#pragma once

// plotreel-bench derived: a formula over three series of 100 million points
// and a crash-test filter over one, as "New Series from Formula" computes
// them into a chart series. Needs about 10 GB.
int RunDerivedBench(int argc, char** argv);
