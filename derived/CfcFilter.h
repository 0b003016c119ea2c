#pragma once

#include "derived/PointsView.h"

#include <QString>

#include <vector>

// The channel frequency classes of crash testing (SAE J211 / ISO 6487).
bool IsChannelFrequencyClass(int cfc);

// The coefficients of the class's two-pole Butterworth low-pass at a sample
// step of `seconds`: y[t] = a0 x[t] + a1 x[t-1] + a2 x[t-2] + b1 y[t-1] + b2 y[t-2].
struct TCfcCoefficients {
    double A0, A1, A2, B1, B2;
};
TCfcCoefficients CfcCoefficients(int cfc, double seconds);

// The series filtered to a channel frequency class: the two-pole filter run
// forwards and then backwards, so that the phase does not shift, at the
// series' own sampling rate, starting each way as if the signal had stood at
// its end value before. Throws an Exception naming `name` when the series is
// not sampled evenly or too slowly for the class.
std::vector<TChartPoint> CfcFiltered(TPointsView series, int cfc, const QString& name);
