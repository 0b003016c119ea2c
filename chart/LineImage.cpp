#include "chart/LineImage.h"

#include "chart/StrokeOutline.h"

#include <QPaintEngine>
#include <QPainter>

bool TLineImage::Suits(const QPen& pen)
{
    return pen.style() == Qt::SolidLine && pen.widthF() > 1 && !pen.isCosmetic()
           && (pen.capStyle() == Qt::FlatCap || pen.capStyle() == Qt::SquareCap) && pen.joinStyle() == Qt::BevelJoin
           && pen.brush().style() == Qt::SolidPattern;
}

bool TLineImage::Suits(const QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Raster && painter.testRenderHint(QPainter::Antialiasing)
           && painter.transform().type() <= QTransform::TxTranslate
           && painter.compositionMode() == QPainter::CompositionMode_SourceOver && painter.opacity() == 1;
}

QRect TLineImage::DeviceClip(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    const QRect whole(0, 0, device->width(), device->height());
    if (!painter.hasClipping())
        return whole;
    return painter.transform().mapRect(painter.clipBoundingRect()).toAlignedRect().intersected(whole);
}

void TLineImage::Draw(const QVector<QPointF>& lines, const QRect& clip, QPointF offset, const QPen& pen)
{
    mClip = clip;
    mFirstRow = 0;
    mLastRow = -1;
    if (clip.isEmpty() || pen.color().alpha() == 0)
        return;
    if (mImage.size() != clip.size()) {
        mImage = QImage(clip.size(), QImage::Format_ARGB32_Premultiplied);
        mRaster.Reset(clip.width(), clip.height());
    }
    AddStrokeOutline(mRaster, lines.constData(), static_cast<std::size_t>(lines.size()), offset - QPointF(clip.topLeft()),
                     pen.widthF(), pen.capStyle());
    mFirstRow = mRaster.FirstRow();
    mLastRow = mRaster.LastRow();
    mRaster.Paint(mImage, qPremultiply(pen.color().rgba()));
}

void TLineImage::LayOver(QPainter& painter) const
{
    if (mLastRow < mFirstRow)
        return;
    const QRect rows(0, mFirstRow, mClip.width(), mLastRow - mFirstRow + 1);
    painter.save();
    painter.resetTransform();
    painter.drawImage(rows.topLeft() + mClip.topLeft(), mImage, rows);
    painter.restore();
}
