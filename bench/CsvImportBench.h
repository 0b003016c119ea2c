#pragma once

// plotreel-bench csv [FILE]: loads FILE, or a generated file of 5 million
// lines, into series on a chart the way the text tab does (COMMA, time field
// 1, data fields 2 to 5, the whole of day 0), and prints the throughput and
// the time; then, where /usr/bin/python3 has pandas, that time over the time
// pandas.read_csv takes to read the same file with its times as datetimes.
// Returns the process exit code.
int RunCsvImportBench(int argc, char** argv);
