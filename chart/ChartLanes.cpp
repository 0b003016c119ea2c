#include "chart/ChartLanes.h"

#include <algorithm>

std::vector<int> LaneSeries(const std::vector<TLaneCandidate>& series)
{
    std::vector<int> lanes;
    for (std::size_t i = 0; i < series.size(); ++i) {
        if (series[i].Line && series[i].Active)
            lanes.push_back(static_cast<int>(i));
    }
    return lanes;
}

std::optional<TValueSpan> FitValueRange(const std::vector<TValueSpan>& ranges)
{
    if (ranges.empty())
        return std::nullopt;
    TValueSpan fitted = ranges.front();
    for (const TValueSpan& range : ranges) {
        fitted.Min = std::min(fitted.Min, range.Min);
        fitted.Max = std::max(fitted.Max, range.Max);
    }
    if (!(fitted.Max - fitted.Min > 0)) {
        fitted.Min -= 1;
        fitted.Max += 1;
    }
    return fitted;
}

int LaneTickCount(int laneHeight, int labelHeight)
{
    const int slot = 2 * std::max(1, labelHeight);
    return std::clamp(laneHeight / slot, 1, FullHeightTickCount);
}

TValueSpan LabelledSpan(TValueSpan range, int laneHeight, int labelHeight)
{
    if (laneHeight <= labelHeight || !(range.Max > range.Min))
        return range;
    const double room = (range.Max - range.Min) * (labelHeight / 2.0) / laneHeight;
    return {range.Min + room, range.Max - room};
}
