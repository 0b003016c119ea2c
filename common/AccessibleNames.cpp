#include "common/AccessibleNames.h"

#include <QLabel>
#include <QWidget>

void NameByLabel(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    QString name = label->text().trimmed();
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    control->setAccessibleName(name);
}

void NameByToolTip(QWidget* control)
{
    control->setAccessibleName(control->toolTip());
}
