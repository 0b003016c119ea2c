#include "bench/ChartBench.h"
#include "bench/CsvImportBench.h"
#include "bench/PlaybackBench.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "csv") == 0)
        return RunCsvImportBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "chart") == 0)
        return RunChartBench(argc, argv);
    // Plays a video for a while on both players: only when asked for.
    if (argc >= 2 && std::strcmp(argv[1], "playback") == 0)
        return RunPlaybackBench(argc, argv);
    if (argc == 1) {
        const int csv = RunCsvImportBench(argc, argv);
        const int chart = RunChartBench(argc, argv);
        return csv != 0 ? csv : chart;
    }
    std::fprintf(stderr, "usage: plotreel-bench [csv [FILE] | chart | playback]\n");
    return 2;
}
