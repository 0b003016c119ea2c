#pragma once

#include "marks/Mark.h"

#include <optional>

// The mark key (M) as it goes down and up: a press sets a point at the frame
// shown when it went down; held while the video plays, it marks the span
// from there to the frame shown when it comes up. A number key from 1 to 9
// while it is held gives the mark that category instead of the default.
class TMarkKey {
public:
    bool Held() const { return mHeld; }

    void Down(double seconds, bool playing);
    // Taken only while the key is held; category counts from 0.
    bool Category(int category);
    // The mark the key leaves; none when it was not held.
    std::optional<TMark> Up(double seconds, bool playing, int defaultCategory);
    // Forgets a press, as when the window loses the keyboard.
    void Cancel() { mHeld = false; }

private:
    bool mHeld = false;
    bool mPlaying = false;
    double mDown = 0;
    int mCategory = -1;
};
