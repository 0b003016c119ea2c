#pragma once

#include <qcustomplot.h>

// The area of all the plot's lanes together: from the top of the first to the
// bottom of the last, the plot area itself when there is one lane.
inline QRect LanesArea(const QCustomPlot& plot)
{
    QRect area;
    for (const QCPAxisRect* rect : plot.axisRects())
        area |= rect->rect();
    return area;
}

// An item of the plot (a line, a band) drawn across every lane: clipped to the
// area of all lanes rather than to one lane's.
template <class Item>
class TAcrossLanes : public Item {
public:
    explicit TAcrossLanes(QCustomPlot* plot) : Item(plot) {}

protected:
    QRect clipRect() const override { return LanesArea(*this->parentPlot()); }
};
