#pragma once

#include "chart/Chart.h"

#include <QApplication>

#include <memory>

// An application on the offscreen platform with a chart that holds the
// cursor line, for the import figures: the chart is never shown, so no
// display is needed. The platform is chosen for this application alone, not
// for later ones of the process.
class TOffscreenChart {
public:
    explicit TOffscreenChart(char* program)
        : mArgv{program, mPlatformOption, mPlatformName, nullptr}, mApplication(mArgc, mArgv)
    {
        Chart.AddSeries(std::make_unique<TChartShape>());
    }

private:
    char mPlatformOption[10] = "-platform";
    char mPlatformName[10] = "offscreen";
    int mArgc = 3;
    char* mArgv[4];
    QApplication mApplication;

public:
    TChart Chart;
};
