#include "multivideo/VideoGrid.h"

QList<QRect> VideoGridRects(const QSize& panel, const QList<QSize>& pictures)
{
    const int count = static_cast<int>(pictures.size());
    if (count == 0)
        return {};
    // A single video is drawn as it always was: its player keeps the ratio.
    if (count == 1)
        return {QRect(QPoint(0, 0), panel)};
    const int columns = 2;
    const int rows = count <= 2 ? 1 : 2;
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int column = i % columns;
        const int row = i / columns;
        // Cells share out the odd pixels so that they meet without gaps.
        const QRect cell(QPoint(panel.width() * column / columns, panel.height() * row / rows),
                         QPoint(panel.width() * (column + 1) / columns - 1, panel.height() * (row + 1) / rows - 1));
        if (pictures[i].isEmpty()) {
            rects.append(cell);
            continue;
        }
        const QSize fitted = pictures[i].scaled(cell.size(), Qt::KeepAspectRatio);
        rects.append(QRect(cell.topLeft() + QPoint((cell.width() - fitted.width()) / 2,
                                                   (cell.height() - fitted.height()) / 2),
                           fitted));
    }
    return rects;
}
