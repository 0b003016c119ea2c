#pragma once

#include <QLabel>

// A label of a form at a fixed place, as large as its caption.
inline QLabel* PlacedLabel(QWidget* parent, const QPoint& place, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->move(place);
    label->adjustSize();
    return label;
}
