#include "bench/ChartBench.h"
#include "bench/CsvImportBench.h"
#include "bench/DatabaseBench.h"
#include "bench/ScaleBench.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "csv") == 0)
        return RunCsvImportBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "db") == 0)
        return RunDatabaseBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "chart") == 0)
        return RunChartBench(argc, argv);
    // Needs about 5 GB and a minute: only on request, never in the runs of all.
    if (argc >= 2 && std::strcmp(argv[1], "scale") == 0)
        return RunScaleBench(argc, argv);
    if (argc == 1) {
        const int csv = RunCsvImportBench(argc, argv);
        const int chart = RunChartBench(argc, argv);
        return csv != 0 ? csv : chart;
    }
    std::fprintf(stderr, "usage: plotreel-bench [csv [FILE] | chart | db | scale]\n");
    return 2;
}
