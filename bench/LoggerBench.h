#pragma once

// plotreel-bench logger: the logger file readers against plain reads of the
// same files.
int RunLoggerBench(int argc, char** argv);
