#pragma once

#include "app/ViewZoom.h"

// The view that shows a cursor that a key has moved: the same view while the
// cursor is in it; otherwise the same width moved so that the cursor stands a
// twentieth of it inside the edge it passed, held inside the full view.
TView ViewShowingCursor(TView view, TDateTime cursor, TView full);
