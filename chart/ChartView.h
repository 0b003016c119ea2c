#pragma once

#include "common/DateTime.h"

// The visible part of the time axis.
struct TView {
    TDateTime Min;
    TDateTime Max;
};

// The view that keeps the cursor in sight once it has passed the right edge:
// the same width, ending a twentieth of it after the cursor, but not after
// the end of the full view. Returns false when the view need not move.
bool FollowCursorView(TView view, TDateTime cursor, TDateTime fullMax, TView& result);
