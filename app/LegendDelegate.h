#pragma once

#include <QStyledItemDelegate>

#include <functional>

// Draws a legend item with its series' colour as a swatch in the icon slot,
// read from the series at every draw, and reports captions edited in place.
class TLegendDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // colourOf(row) gives the colour of the row's series, or an invalid colour
    // for a row without one.
    TLegendDelegate(std::function<QColor(int row)> colourOf, QObject* parent);

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

signals:
    void Edited(int row, const QString& text) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    std::function<QColor(int)> mColourOf;
};
