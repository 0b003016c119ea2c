#include "app/CursorView.h"

#include <algorithm>

TView ViewShowingCursor(TView view, TDateTime cursor, TView full)
{
    if (cursor >= view.Min && cursor <= view.Max)
        return view;
    const double width = view.Max - view.Min;
    double min = cursor > view.Max ? cursor + width / 20 - width : cursor - width / 20;
    min = std::max(std::min(min, full.Max - width), full.Min);
    return {min, min + width};
}
