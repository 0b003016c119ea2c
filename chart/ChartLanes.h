#pragma once

#include <optional>
#include <vector>

// How a chart shares its height among its series when each has a lane of its
// own: plain rules, apart from the widgets that follow them.

// What the lanes need to know of a series of the chart.
struct TLaneCandidate {
    // A data line (the cursor and other shapes take no lane).
    bool Line;
    // Shown, that is ticked in the legend.
    bool Active;
};

// The series that get a lane, top to bottom: the index of every shown data
// line, in the chart's order. Empty when none is shown.
std::vector<int> LaneSeries(const std::vector<TLaneCandidate>& series);

// A span of values, Min at or below Max.
struct TValueSpan {
    double Min;
    double Max;
};

// The range of a value axis over the value ranges of the series drawn against
// it: from the smallest value to the largest, a single value widened by one
// either way so that its line shows. Nothing when there are no ranges, and
// the axis then keeps the range it has.
std::optional<TValueSpan> FitValueRange(const std::vector<TValueSpan>& ranges);

// The number of value ticks a lane this many pixels high asks its axis for,
// with labels this high: one label's height of room between two labels, at
// least one tick and no more than a full-height chart shows.
int LaneTickCount(int laneHeight, int labelHeight);

// The part of a lane's value range where its ticks may go: half a label's
// height in from either end, so that every label stays within the lane and
// clear of its neighbours'. The whole range where a lane is lower than a
// label.
TValueSpan LabelledSpan(TValueSpan range, int laneHeight, int labelHeight);

// The tick count of a value axis that has the whole chart's height.
constexpr int FullHeightTickCount = 5;
