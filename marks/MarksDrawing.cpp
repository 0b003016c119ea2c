#include "marks/MarksDrawing.h"

#include "chart/LaneItems.h"
#include "marks/MarkList.h"

#include <cmath>

namespace {

// The labels at the top of the marks.
constexpr int LabelCharacters = 24;
constexpr int LabelPixels = 11;

QColor Faded(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

} // namespace

QString NoteHeadline(const QString& note, int characters)
{
    const QStringList words = note.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString headline;
    for (const QString& word : words) {
        if (!headline.isEmpty() && headline.size() + 1 + word.size() > characters)
            return headline + QChar(0x2026);
        if (headline.isEmpty() && word.size() > characters)
            return word.left(characters) + QChar(0x2026);
        headline += (headline.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return headline;
}

TMarksDrawing::TMarksDrawing(QCustomPlot* plot, const TMarkList& marks) : QCPLayerable(plot), mMarks(marks)
{
}

std::uint64_t TMarksDrawing::MarkNear(double x, double reach) const
{
    std::uint64_t best = 0;
    double nearest = reach;
    for (const TMarkGlyph& glyph : mGlyphs) {
        if (glyph.Count != 1 || glyph.First >= mMarks.Count())
            continue;
        const double distance = std::abs(x - (mLeft + glyph.Left));
        if (distance <= nearest) {
            nearest = distance;
            best = mMarks.At(glyph.First).Id;
        }
    }
    return best;
}

void TMarksDrawing::applyDefaultAntialiasingHint(QCPPainter* painter) const
{
    painter->setAntialiasing(false);
}

QRect TMarksDrawing::clipRect() const
{
    return LanesArea(*mParentPlot);
}

void TMarksDrawing::draw(QCPPainter* painter)
{
    mGlyphs.clear();
    const QRect area = LanesArea(*mParentPlot);
    const QCPAxis* axis = mParentPlot->xAxis;
    if (mMarks.Count() == 0 || area.isEmpty())
        return;
    const QCPRange range = axis->range();
    const QRect lane = axis->axisRect()->rect();
    mLeft = lane.left();
    mGlyphs = LayoutMarks(mMarks, (range.lower - mStartTime) * SecondsPerDay, (range.upper - mStartTime) * SecondsPerDay,
                          lane.width(), Apart);
    if (mGlyphs.empty())
        return;

    QFont font = painter->font();
    font.setPixelSize(LabelPixels);
    painter->setFont(font);
    const QFontMetrics metrics(font);
    const int top = area.top();
    const int height = area.height();
    for (std::size_t k = 0; k < mGlyphs.size(); ++k) {
        const TMarkGlyph& glyph = mGlyphs[k];
        const TMark& first = mMarks.At(glyph.First);
        const QColor color = mCategories[static_cast<std::size_t>(first.Category)].Color;
        const double left = mLeft + glyph.Left;
        const double right = mLeft + glyph.Right;
        QString label;
        if (glyph.Count > 1) {
            const double width = std::max(right - left, Apart);
            painter->fillRect(QRectF(left - 1, top, width + 2, height), Faded(color, 60));
            label = QString::number(glyph.Count);
        } else {
            if (first.IsSpan() && right - left >= 1) {
                painter->fillRect(QRectF(left, top, right - left, height), Faded(color, 40));
                painter->setPen(QPen(Faded(color, 150), 1));
                painter->drawLine(QPointF(right, top), QPointF(right, top + height));
            }
            painter->setPen(QPen(color, 1));
            painter->drawLine(QPointF(left, top), QPointF(left, top + height));
            label = NoteHeadline(first.Note, LabelCharacters);
        }
        if (label.isEmpty())
            continue;
        // A label only where it has room before the next glyph.
        const double room = (k + 1 < mGlyphs.size() ? mLeft + mGlyphs[k + 1].Left : area.right()) - left - 3;
        const int width = metrics.horizontalAdvance(label);
        if (width > room)
            continue;
        const QRectF box(left + 2, top + 1, width + 2, metrics.height());
        painter->fillRect(box, QColor(255, 255, 255, 200));
        painter->setPen(color.darker(140));
        painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, label);
    }
}
