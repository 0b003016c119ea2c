#pragma once

// plotreel-bench csv [FILE]: imports FILE, or a generated file of 5 million
// lines, the way the text tab does, and prints the throughput and the time.
// Returns the process exit code.
int RunCsvImportBench(int argc, char** argv);
