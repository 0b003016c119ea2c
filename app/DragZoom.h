#pragma once

#include "app/ViewZoom.h"

// How far the pointer must move while a button is held before the press is
// a drag rather than a click, in pixels.
inline constexpr int DragThreshold = 4;

// The view that a span dragged from a to b (in either order) zooms to: the
// span, at least MinViewWidth wide, held inside the full view.
TView DraggedSpanView(TDateTime a, TDateTime b, TView full);

// How far a view scrolls, as a fraction of its width, while a dragging
// pointer is at column x outside the plot's columns [left, right]: by the
// distance the pointer is out, towards the side it is out; 0 inside.
double EdgeScrollFraction(int x, int left, int right);
