#pragma once

#include "common/LoadWindow.h"

// The start translation time: the picked time of day on the picked date when
// the date counts, otherwise on day 0.
TDateTime StartTranslationTime(bool dateChecked, TDateTime date, TDateTime time);
TLoadWindow MakeLoadWindow(TDateTime start, float videoDuration);
