#include "bench/ScaleBench.h"

#include "bench/ChartBench.h"
#include "bench/CompanionScaleBench.h"
#include "bench/WindowBench.h"

int RunScaleBench(int argc, char** argv)
{
    return RunWindowBench(argc, argv, "scale", [](const QTemporaryDir& folder) {
        PrintReplotScaleFigures();
        PrintCompanionScaleFigures(folder);
    });
}

int RunSmallScaleBench(int argc, char** argv)
{
    return RunWindowBench(argc, argv, "scale1m", [](const QTemporaryDir&) { PrintSmallReplotScaleFigures(); });
}
