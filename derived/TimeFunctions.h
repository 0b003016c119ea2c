#pragma once

#include "common/DateTime.h"
#include "derived/PointsView.h"

#include <optional>
#include <vector>

// The functions of time that formulas offer, each over the whole of one
// series and on its own times. Values are per second where time comes in.
// Points whose value is not a number take no part.

// The rate of change: differences over each point's neighbours, weighted for
// uneven steps, so that it is exact for polynomials up to the second degree;
// the end points look one-sidedly over two neighbours.
std::vector<TChartPoint> Derivative(TPointsView series);

// The area under the series by trapezoids, 0 at the first point, or at `zero`
// when it lies within the series' span.
std::vector<TChartPoint> Integral(TPointsView series, std::optional<TDateTime> zero = {});

// The mean and the root mean square of the points within a window of
// `seconds` centred on each point.
std::vector<TChartPoint> MovingMean(TPointsView series, double seconds);
std::vector<TChartPoint> MovingRms(TPointsView series, double seconds);

// The series moved later by `seconds` (earlier when negative).
std::vector<TChartPoint> Shifted(TPointsView series, double seconds);
