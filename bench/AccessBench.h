#pragma once

// plotreel-bench access: reads 1,000,000 records of a text, a time and five
// numbers through TAccessDatabase from a stand-in reader that sends a prepared
// answer (cat), as a load reads them: the cost of the process boundary alone,
// without libmdb. Prints the records per second and the megabytes per
// second of the answer. Returns the process exit code.
int RunAccessBench(int argc, char** argv);
