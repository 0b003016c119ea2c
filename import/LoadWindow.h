#pragma once

#include "common/DateTime.h"

// The time span a load keeps: from the start translation time to that time
// plus the length of the video, both ends included.
struct TLoadWindow {
    TDateTime Start;
    TDateTime End;

    bool Contains(TDateTime t) const { return Start <= t && t <= End; }
};

// The start translation time: the picked time of day on the picked date when
// the date counts, otherwise on day 0.
TDateTime StartTranslationTime(bool dateChecked, TDateTime date, TDateTime time);
TLoadWindow MakeLoadWindow(TDateTime start, float videoDuration);
