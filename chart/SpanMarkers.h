#pragma once

#include <QColor>

class QCPItemLine;
class QCPItemRect;
class TChart;

// The two measuring markers of a chart: dashed lines across all its lanes at
// A and B, each drawn once it is set, and a shaded band between
// them while both are; and the grey band of a span being chosen to zoom to.
// They live on the cursor layer, so that moving them does not redraw the
// data lines.
class TSpanMarkers {
public:
    static const QColor Color;

    explicit TSpanMarkers(TChart& chart);

    void SetA(double x);
    void SetB(double x);
    void Clear();
    // The span being chosen, from a to b in either order.
    void SetSelection(double a, double b);
    void ClearSelection();
    // Places the markers again, as after the chart's lanes changed.
    void Apply();

private:

    TChart& mChart;
    QCPItemLine* mLineA;
    QCPItemLine* mLineB;
    QCPItemRect* mBand;
    QCPItemRect* mSelection;
    bool mHasA = false;
    bool mHasB = false;
    double mA = 0;
    double mB = 0;
};
