#pragma once

#include "bench/OffscreenApplication.h"
#include "chart/Chart.h"

#include <QApplication>

#include <memory>

// An offscreen application with a chart that holds the cursor line, for the
// import figures: the chart is never shown, so no display is needed.
class TOffscreenChart {
public:
    explicit TOffscreenChart(char* program) : mApplication(OffscreenApplication(program))
    {
        Chart.AddSeries(std::make_unique<TChartShape>());
    }

private:
    std::unique_ptr<QApplication> mApplication;

public:
    TChart Chart;
};
