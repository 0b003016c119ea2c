#pragma once

#include <QRect>

// A window's rectangle made to lie within an area of the screen: no larger
// than the area, and moved, as little as it takes, so that every edge is
// inside it.
QRect FitIntoArea(const QRect& window, const QRect& area);
