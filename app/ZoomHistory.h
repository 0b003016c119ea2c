#pragma once

#include "app/ViewZoom.h"

#include <vector>

// The views before each zoom since the last zoom to the whole video, so that
// they can be gone back to one by one.
class TZoomHistory {
public:
    // The view that a zoom is about to leave.
    void Push(TView view) { mViews.push_back(view); }
    // Takes the last view left; false when there is none.
    bool Back(TView& view)
    {
        if (mViews.empty())
            return false;
        view = mViews.back();
        mViews.pop_back();
        return true;
    }
    void Clear() { mViews.clear(); }

private:
    std::vector<TView> mViews;
};
