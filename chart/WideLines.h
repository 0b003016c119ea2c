#pragma once

#include <QPointF>
#include <QVector>

#include <cstddef>
#include <vector>

class QPainter;

// Drawing a line of many points with a pen wider than a pixel, without the
// cost of stroking it as one path: the rasteriser's work grows much faster
// than the length of a path, and a long path of noisy points takes it tens of
// milliseconds.

// Where a polyline of count points is cut into pieces of between minPoints
// and maxPoints points: the indices of the points shared by two pieces, each
// the point in its window where the line bends least, so that the join the
// two pieces no longer make is one nobody could see.
std::vector<std::size_t> PolylineCuts(const QPointF* points, std::size_t count, std::size_t minPoints,
                                      std::size_t maxPoints);

// Draws lines as the painter's pen would draw them as one polyline, broken
// where a point is not finite, but as short pieces cut where the line bends
// least. Pieces meet with flat ends; the ends of the whole line get the pen's
// own caps. For a solid pen with flat or square caps.
void DrawPolylineInPieces(QPainter& painter, const QVector<QPointF>& lines);

// Draws every two neighbouring points as a separate segment with flat ends:
// for lines of several points a pixel, where the joins are all inside the ink
// of the segments around them.
void DrawFlatSegments(QPainter& painter, const QVector<QPointF>& lines);
