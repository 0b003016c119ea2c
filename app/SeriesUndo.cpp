#include "app/SeriesUndo.h"

#include "chart/Chart.h"

#include <algorithm>

void TSeriesUndo::Remove(TChart& chart, int index, bool unsaved)
{
    TRemoval removal{{}, unsaved};
    removal.Series.push_back({index, chart.TakeSeries(index)});
    mRemovals.push_back(std::move(removal));
}

void TSeriesUndo::RemoveAll(TChart& chart, bool unsaved)
{
    if (chart.SeriesCount() <= 1)
        return;
    TRemoval removal{{}, unsaved};
    for (int index = 1; index < chart.SeriesCount(); ++index)
        removal.Series.push_back({index, nullptr});
    for (auto removed = removal.Series.rbegin(); removed != removal.Series.rend(); ++removed)
        removed->Series = chart.TakeSeries(removed->Index);
    mRemovals.push_back(std::move(removal));
}

bool TSeriesUndo::Undo(TChart& chart, bool& unsaved)
{
    if (mRemovals.empty())
        return false;
    TRemoval removal = std::move(mRemovals.back());
    mRemovals.pop_back();
    for (TRemoved& removed : removal.Series)
        chart.InsertSeries(std::min(removed.Index, chart.SeriesCount()), std::move(removed.Series));
    unsaved = removal.Unsaved;
    return true;
}
