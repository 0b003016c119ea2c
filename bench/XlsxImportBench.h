#pragma once

// plotreel-bench xlsx [FILE]: loads the first worksheet of FILE, or of a
// generated workbook of 200,000 rows (needs /usr/bin/python3 with
// python3-xlsxwriter), the way the Excel tab does (time column A, data
// columns B to F, a window holding every row) and prints the time of that
// load, of reading the cells alone and of inflating the largest part (the
// sheet) alone, the processor time of the load and of the inflating, and
// the memory the load took beyond the points it added.
// Returns the process exit code.
int RunXlsxImportBench(int argc, char** argv);
