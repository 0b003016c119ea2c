#include "app/ViewZoom.h"

TView ZoomInView(TView view, TDateTime cursor)
{
    const double r = (view.Max - view.Min) / 20;
    if (view.Max - view.Min - 2 * r < MinViewWidth)
        return view;
    double a = view.Min + r;
    double b = view.Max - r;
    if (cursor < a + r) {
        a -= r;
        b -= r;
    }
    if (cursor > b - r) {
        a += r;
        b += r;
    }
    return {a, b};
}

TView ZoomOutView(TView view, TView full)
{
    double max = view.Max + (view.Max - view.Min) / 20;
    if (max > full.Max)
        max = full.Max;
    double min = view.Min - (max - view.Min) / 20;
    if (min < full.Min)
        min = full.Min;
    return {min, max};
}

TView PanView(TView view, double fraction, TView full)
{
    const double width = view.Max - view.Min;
    double min = view.Min + fraction * width;
    if (min + width > full.Max)
        min = full.Max - width;
    if (min < full.Min)
        min = full.Min;
    return {min, min + width};
}
