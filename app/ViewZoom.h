#pragma once

#include "chart/ChartView.h"

// The narrowest view that zooming in reaches: a millisecond of video. Much
// narrower, a twentieth of the width would vanish in the precision of a
// dated TDateTime and zooming out could never widen the view again.
inline constexpr TDateTime MinViewWidth = 0.001 / SecondsPerDay;

// Nine tenths of the view; the edge near the cursor stays where the cursor is
// in the first or last tenth, otherwise both edges move in by a twentieth.
// The view stays as it is when nine tenths would be narrower than
// MinViewWidth.
TView ZoomInView(TView view, TDateTime cursor);
// The maximum moves out by a twentieth of the width first, then the minimum
// by a twentieth of the widened width, each held inside the full view.
TView ZoomOutView(TView view, TView full);
// The view moved by a fraction of its width (to later times when positive),
// as wide as before and held inside the full view.
TView PanView(TView view, double fraction, TView full);
