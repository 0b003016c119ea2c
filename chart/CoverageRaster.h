#pragma once

#include <QImage>
#include <QPointF>

#include <vector>

// Fills polygons antialiased by the share of each pixel they cover, as Qt's
// raster engine fills a path by the winding rule: where polygons of the same
// orientation lie over each other their cover adds up, to at most the whole
// pixel. Pixel (x, y) spans x to x + 1 and y to y + 1. The area is the given
// size; whatever lies outside it is cut off, and nothing is written outside.
class TCoverageRaster {
public:
    // Starts again on an area of the given size, with nothing covered.
    void Reset(int width, int height);

    // One directed edge of a closed polygon.
    void AddEdge(QPointF from, QPointF to);
    // A closed polygon.
    void AddPolygon(const QPointF* corners, int count);

    // The rows that anything was added to, as [first, last]; empty when none.
    int FirstRow() const { return mFirstRow; }
    int LastRow() const { return mLastRow; }

    // Writes the cover into rows FirstRow to LastRow of image, which has the
    // raster's size and Format_ARGB32_Premultiplied: each pixel gets color
    // (premultiplied) scaled by its cover, and transparent where nothing
    // covers it, as a drawing on a transparent image would. The other rows are
    // left as they were. Then starts again with nothing covered.
    void Paint(QImage& image, QRgb color);

private:
    // Adds an edge from top to bottom that lies within the columns.
    void AddInside(QPointF top, QPointF bottom, float direction);

    int mWidth = 0;
    int mHeight = 0;
    // The signed cover added at each cell, a row of mWidth + 2 cells for each
    // pixel row; summed along a row it gives each pixel's cover.
    std::vector<float> mCells;
    // The cells each row has anything in, first and last.
    std::vector<int> mRowFirst;
    std::vector<int> mRowLast;
    int mFirstRow = 0;
    int mLastRow = -1;
};
