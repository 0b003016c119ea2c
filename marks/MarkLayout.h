#pragma once

#include "marks/MarkList.h"

#include <vector>

// What the chart draws for the marks in view: a mark on its own, or a run of
// marks that start too close together to tell apart, drawn as one band with
// their count. Columns are pixels from the plot's left edge.
struct TMarkGlyph {
    double Left = 0;
    // Where a lone span ends, or the last start of a run; Left for a point.
    double Right = 0;
    int First = 0;
    int Count = 1;
};

// The glyphs of the marks from viewMin to viewMax (seconds of the video)
// drawn `width` pixels wide: marks whose starts lie less than `apart` pixels
// from the one before join that one's run. Found by binary searches, so the
// cost grows with what is drawn, not with the number of marks.
std::vector<TMarkGlyph> LayoutMarks(const TMarkList& marks, double viewMin, double viewMax, double width,
                                    double apart);
