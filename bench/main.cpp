#include "bench/CsvImportBench.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "csv") == 0)
        return RunCsvImportBench(argc, argv);
    std::fprintf(stderr, "usage: plotreel-bench csv [FILE]\n");
    return 2;
}
