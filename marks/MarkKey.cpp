#include "marks/MarkKey.h"

#include "marks/MarkList.h"

void TMarkKey::Down(double seconds, bool playing)
{
    mHeld = true;
    mPlaying = playing;
    mDown = seconds;
    mCategory = -1;
}

bool TMarkKey::Category(int category)
{
    if (!mHeld || category < 0 || category >= MarkCategoryCount)
        return false;
    mCategory = category;
    return true;
}

std::optional<TMark> TMarkKey::Up(double seconds, bool playing, int defaultCategory)
{
    if (!mHeld)
        return std::nullopt;
    mHeld = false;
    TMark mark;
    mark.Seconds = mDown;
    mark.Category = mCategory >= 0 ? mCategory : defaultCategory;
    // A span only where the video played all the while and moved on.
    if (mPlaying && playing && seconds - mDown > TMarkList::SameMoment)
        mark.Length = seconds - mDown;
    return mark;
}
