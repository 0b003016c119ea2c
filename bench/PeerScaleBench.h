#pragma once

#include "bench/ChartBench.h"

#include <QString>

#include <optional>

// The views of the scale figures' redraws: the full view, the zoomed one, and
// how far the view moves on before each redraw.
struct ScaleViews {
    double FullMin;
    double FullMax;
    double ZoomMin;
    double ZoomMax;
    // Of the full view; the zoomed view moves by the same share of its width.
    double FullShift;
};

// The same redraws in pyqtgraph (bench/pyqtgraph-scale.py), of the series in
// pointsFile (the keys shared by all series, then each series' values, as
// doubles), with lines penWidth pixels wide, on the Qt platform this program
// runs on. Nothing, said why on stderr, when pyqtgraph cannot be run.
std::optional<ScaleReplots> PeerScaleReplots(const QString& pointsFile, int seriesCount, const ScaleViews& views,
                                             int penWidth);
