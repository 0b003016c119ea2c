#include "chart/ChartView.h"

bool FollowCursorView(TView view, TDateTime cursor, TDateTime fullMax, TView& result)
{
    if (!(cursor > view.Max))
        return false;
    double max = cursor + (view.Max - view.Min) / 20;
    if (max > fullMax)
        max = fullMax;
    result = {view.Min + (max - view.Max), max};
    return true;
}
