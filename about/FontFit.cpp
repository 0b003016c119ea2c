#include "about/FontFit.h"

#include <QFontMetrics>
#include <QRect>
#include <QWidget>

namespace {

constexpr double PixelsPerPoint = 96.0 / 72.0;

bool Fits(const QFont& font, const QString& text, const QSize& limit)
{
    const QSize extent = TextExtent(font, text);
    return extent.width() <= limit.width() && extent.height() <= limit.height();
}

} // namespace

QSize TextExtent(const QFont& font, const QString& text)
{
    // Measured as a plain-text QLabel measures itself. Top alignment: centring
    // in the large rectangle can round the height up by a pixel.
    const QRect bounds(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return QFontMetrics(font).boundingRect(bounds, Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, text).size();
}

QFont FitFontToBox(QFont font, const QString& text, const QSize& limit)
{
    int points = qRound(font.pixelSize() / PixelsPerPoint);
    while (!Fits(font, text, limit) && points > 1) {
        --points;
        font.setPixelSize(qMax(1, qRound(points * PixelsPerPoint)));
    }
    return font;
}
