#pragma once

#include "common/DateTime.h"

#include <QImage>
#include <QLocale>
#include <QSize>
#include <QString>

class TChart;

// The picture formats of the export, by the file name's extension (.png,
// .svg, .pdf, in any case). Throws for any other extension.
enum class TPictureFormat { Png, Svg, Pdf };
TPictureFormat PictureFormatOf(const QString& fileName);

// Writes a picture of `size` (pixels; points for PDF): the video frame on top
// (unless it is null) at the full width, or less where it would take more
// than two thirds of the height, and under it the chart with its cursor, the
// current values at `cursor` and the legend. SVG and PDF keep the chart's
// lines and text as vectors and the frame as an embedded image. The file is
// replaced only once complete.
// The size of a picture made without a window: the frame's width, and room
// under the frame for a chart half its height.
QSize DefaultPictureSize(QSize frame);

void ExportPicture(TChart& chart, TDateTime cursor, const QImage& frame, QSize size, const QLocale& locale,
                   const QString& fileName);
