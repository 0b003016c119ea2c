#pragma once

#include <QString>

#include <vector>

// A chapter of an exported clip.
struct TClipChapter {
    double Start = 0;
    double End = 0;
    QString Title;
};

// The chapters of the clip of a video from `from` to `to` (seconds of the
// video) for marked moments and spans (Start and End in seconds of the video,
// End equal to Start for a moment): those that lie in the span or reach into
// it, on the clip's clock (0 at `from`), in time order, each lasting until
// the next one starts; the last one until its span or the clip ends.
std::vector<TClipChapter> ClipChapters(const std::vector<TClipChapter>& marks, double from, double to);
