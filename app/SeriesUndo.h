#pragma once

#include <memory>
#include <vector>

class TChart;
class TChartSeries;

// Data series removed from the chart by the legend's "Delete" and by "Clear
// Chart Data", kept whole so that Undo puts them back where they were, the
// last removal first. Forget lets them go (after a load or a save).
class TSeriesUndo {
public:
    // Removes the data series at `index`; `unsaved` is whether the chart
    // data was unsaved before, handed back by Undo.
    void Remove(TChart& chart, int index, bool unsaved);
    // Removes every data series (all but the cursor at index 0).
    void RemoveAll(TChart& chart, bool unsaved);
    // Puts the series of the last removal back; false when there is none.
    bool Undo(TChart& chart, bool& unsaved);
    void Forget() { mRemovals.clear(); }
    bool CanUndo() const { return !mRemovals.empty(); }

private:
    struct TRemoved {
        int Index;
        std::unique_ptr<TChartSeries> Series;
    };
    struct TRemoval {
        // In the order of their indexes.
        std::vector<TRemoved> Series;
        bool Unsaved;
    };
    std::vector<TRemoval> mRemovals;
};
