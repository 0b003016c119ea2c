#pragma once

#include "app/ViewZoom.h"
#include "common/DateTime.h"

#include <QString>

// What moves when the data is shifted against the video.
struct TSyncState {
    TDateTime StartTime;
    TView Full;   // DefaultAxisMin .. DefaultAxisMax
    TView View;   // the time axis as shown
    TDateTime Cursor;
};

// Shows every sample `seconds` later in the video (earlier when negative):
// the start time, the full view, the view and the cursor all move back by
// that much, so the series stay where they are in real time and the cursor
// stays on the frame on screen.
TSyncState NudgeSync(const TSyncState& state, double seconds);

// How much later in the video the samples show than with `baseStart`, the
// start time of the last load or opening, as shown beside the time:
// "sync +0.040 s", "sync -0.100 s"; empty while it rounds to 0 ms.
QString SyncOffsetText(TDateTime startTime, TDateTime baseStart);
