#include "app/DragZoom.h"

#include <algorithm>

TView DraggedSpanView(TDateTime a, TDateTime b, TView full)
{
    TDateTime min = std::max(std::min(a, b), full.Min);
    TDateTime max = std::min(std::max(a, b), full.Max);
    if (max - min < MinViewWidth) {
        const TDateTime middle = (min + max) / 2;
        min = std::max(full.Min, middle - MinViewWidth / 2);
        max = std::min(full.Max, min + MinViewWidth);
        min = std::max(full.Min, max - MinViewWidth);
    }
    return {min, max};
}

double EdgeScrollFraction(int x, int left, int right)
{
    const int width = right - left;
    if (width <= 0)
        return 0;
    if (x < left)
        return double(x - left) / width;
    if (x > right)
        return double(x - right) / width;
    return 0;
}
