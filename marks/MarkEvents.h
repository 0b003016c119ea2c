#pragma once

#include "common/DateTime.h"
#include "marks/Mark.h"

#include <vector>

struct TLoggerEvent;

// The events a logger file records, counted from the file's zero at clock
// time `zero`, as marks of the video whose chart starts at startTime, in
// `category`: the event's name, and its comment after it, as the note.
// Events before the video's start have no frame and are left out; `skipped`
// counts them.
std::vector<TMark> MarksFromEvents(const std::vector<TLoggerEvent>& events, TDateTime zero, TDateTime startTime,
                                   int category, int* skipped = nullptr);
