#pragma once

// One point of a data series: X is a TDateTime, Y the measured value.
struct TChartPoint {
    double X;
    double Y;
};
