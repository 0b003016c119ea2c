#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Where the pictures of `pictures.size()` videos go in a panel: one video
// takes the whole panel; two stand side by side; three and four fill a 2 x 2
// grid, row by row. Each picture is the largest rect of its video's aspect
// ratio centred in its cell; a picture of unknown size fills its cell.
QList<QRect> VideoGridRects(const QSize& panel, const QList<QSize>& pictures);
