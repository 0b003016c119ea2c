#include "common/AccessibleNames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QWidget>

void NameByLabel(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    QString name = label->text().trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    control->setAccessibleName(name);
    // The list that a drop-down list pops up is a window of its own: it is
    // named after the same label.
    if (auto* list = qobject_cast<QComboBox*>(control))
        list->view()->setAccessibleName(name);
}

void NameByToolTip(QWidget* control)
{
    // A key named after the text, as in "Zoom In (+)", is no part of the name.
    QString name = control->toolTip();
    const qsizetype key = name.lastIndexOf(QStringLiteral(" ("));
    if (key > 0 && name.endsWith(QLatin1Char(')')))
        name.truncate(key);
    control->setAccessibleName(name);
}
