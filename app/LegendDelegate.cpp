#include "app/LegendDelegate.h"

#include <QPainter>

TLegendDelegate::TLegendDelegate(std::function<QColor(int row)> colourOf, QObject* parent)
    : QStyledItemDelegate(parent), mColourOf(std::move(colourOf))
{
}

void TLegendDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    QStyledItemDelegate::setModelData(editor, model, index);
    emit Edited(index.row(), index.data(Qt::EditRole).toString());
}

void TLegendDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QColor colour = mColourOf(index.row());
    if (!colour.isValid())
        return;
    // The swatch fills the 16 x 16 slot less a pixel at the top and two at the bottom.
    QPixmap swatch(16, 16);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    painter.fillRect(QRect(QPoint(0, 1), QPoint(15, 13)), colour);
    painter.end();
    option->icon = QIcon(swatch);
    option->decorationSize = QSize(16, 16);
    option->features |= QStyleOptionViewItem::HasDecoration;
}
