#pragma once

#include <QPointF>
#include <Qt>

#include <cstddef>

class TCoverageRaster;

// Adds to raster the outline of a polyline drawn with a solid pen of the
// given width, bevel joins and flat or square caps, as Qt's stroker outlines
// it: a rectangle along each segment and a triangle filling the outer side of
// each bend, all of one orientation so that where they overlap the cover
// adds up to at most the whole pixel. The points are moved by offset first.
// A point that is not finite breaks the line, as QCustomPlot breaks it.
void AddStrokeOutline(TCoverageRaster& raster, const QPointF* points, std::size_t count, QPointF offset,
                      double width, Qt::PenCapStyle cap);
