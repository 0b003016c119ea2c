#pragma once

#include "chart/ChartPoint.h"

#include <cstddef>
#include <vector>

// The points of a series as the derived series read them: X a TDateTime,
// ascending.
struct TPointsView {
    const TChartPoint* Points = nullptr;
    std::size_t Count = 0;
};

inline TPointsView ViewOf(const std::vector<TChartPoint>& points)
{
    return {points.data(), points.size()};
}
