#pragma once

#include "chart/CoverageRaster.h"

#include <QImage>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QVector>

class QPainter;

// A line of many points drawn antialiased with a pen wider than a pixel into
// a transparent image of its own, then laid over the painting: the same
// pixels as QPainter's stroke of the polyline (see StrokeOutline.h), at a
// fraction of its cost, and free of any painter, so that several lines can
// be drawn at once on several processors. Laying the image over the painting
// with SourceOver gives what drawing the line there would.
class TLineImage {
public:
    // True for the pens it draws as QPainter would: solid, wider than a
    // pixel, with flat or square caps and bevel joins.
    static bool Suits(const QPen& pen);
    // True for a painter whose drawing can be laid over: an antialiased one
    // of the raster engine, at most moved (QCustomPlot moves its painter by
    // half a pixel to antialias), drawing over with full opacity.
    static bool Suits(const QPainter& painter);
    // What such a painter's drawing is cut to, in the pixels of its device.
    static QRect DeviceClip(const QPainter& painter);

    // Draws the polyline of lines (points not finite break it) as pen would,
    // moved by offset, cut to clip; both in the pixels of the painter's device.
    void Draw(const QVector<QPointF>& lines, const QRect& clip, QPointF offset, const QPen& pen);
    // Lays the last drawing over the painter's, in its place on the device.
    void LayOver(QPainter& painter) const;

private:
    TCoverageRaster mRaster;
    QImage mImage;
    QRect mClip;
    // The rows of mImage that the last drawing wrote, [first, last].
    int mFirstRow = 0;
    int mLastRow = -1;
};
