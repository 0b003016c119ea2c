#include "bench/AccessBench.h"
#include "bench/ChartBench.h"
#include "bench/CsvImportBench.h"
#include "bench/DatabaseBench.h"
#include "bench/DerivedBench.h"
#include "bench/ExportBench.h"
#include "bench/LineDrawingBench.h"
#include "bench/LoggerBench.h"
#include "bench/MeasureBench.h"
#include "bench/PlaybackBench.h"
#include "bench/ScaleBench.h"
#include "bench/ScrubBench.h"
#include "bench/XlsxImportBench.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "csv") == 0)
        return RunCsvImportBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "access") == 0)
        return RunAccessBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "db") == 0)
        return RunDatabaseBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "xlsx") == 0)
        return RunXlsxImportBench(argc, argv);
    // Writes two files of 80 MB: only when asked for.
    if (argc >= 2 && std::strcmp(argv[1], "logger") == 0)
        return RunLoggerBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "chart") == 0)
        return RunChartBench(argc, argv);
    // Encodes a minute of 1080p video twice: only when asked for.
    if (argc >= 2 && std::strcmp(argv[1], "export") == 0)
        return RunExportBench(argc, argv);
    // Needs about 2 GB: only on request.
    if (argc >= 2 && std::strcmp(argv[1], "measure") == 0)
        return RunMeasureBench(argc, argv);
    // Plays a video for a while on both players: only when asked for.
    if (argc >= 2 && (std::strcmp(argv[1], "playback") == 0 || std::strcmp(argv[1], "playback2") == 0))
        return RunPlaybackBench(argc, argv);
    // Drags through a minute of 1080p video, then measures 100 million
    // points (about 2 GB): only when asked for.
    if (argc >= 2 && std::strcmp(argv[1], "scrub") == 0) {
        const int scrub = RunScrubBench(argc, argv);
        return scrub != 0 ? scrub : RunMeasureBench(argc, argv);
    }
    // Needs about 10 GB: only on request.
    if (argc >= 2 && std::strcmp(argv[1], "derived") == 0)
        return RunDerivedBench(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "lines") == 0)
        return RunLineDrawingBench(argc, argv);
    // The scale figures of 1 million points alone: a few seconds.
    if (argc >= 2 && std::strcmp(argv[1], "scale1m") == 0)
        return RunSmallScaleBench(argc, argv);
    // Needs about 5 GB and a minute: only on request, never in the runs of all.
    if (argc >= 2 && std::strcmp(argv[1], "scale") == 0)
        return RunScaleBench(argc, argv);
    if (argc == 1) {
        const int csv = RunCsvImportBench(argc, argv);
        const int xlsx = RunXlsxImportBench(argc, argv);
        const int chart = RunChartBench(argc, argv);
        return csv != 0 ? csv : xlsx != 0 ? xlsx : chart;
    }
    std::fprintf(stderr, "usage: plotreel-bench [csv [FILE] | xlsx [FILE] | chart | db | access | measure | scale | scale1m | lines | logger | playback | playback2 | scrub | export | derived [POINTS]]\n");
    return 2;
}
