#include "import/CheckedDateEdit.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

TCheckedDateEdit::TCheckedDateEdit(QWidget* parent)
    : QWidget(parent), mCheckBox(new QCheckBox(this)), mDateEdit(new QDateEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(mCheckBox);
    layout->addWidget(mDateEdit, 1);
    mDateEdit->setDisplayFormat(QStringLiteral("dd MMM yyyy"));
    mDateEdit->setCalendarPopup(true);
    mDateEdit->setMinimumDate(QDate(100, 1, 1));
    connect(mCheckBox, &QCheckBox::toggled, mDateEdit, &QWidget::setEnabled);
    mDateEdit->setEnabled(false);
}

bool TCheckedDateEdit::Checked() const
{
    return mCheckBox->isChecked();
}

void TCheckedDateEdit::SetChecked(bool checked)
{
    mCheckBox->setChecked(checked);
}

QDate TCheckedDateEdit::Date() const
{
    return mDateEdit->date();
}

void TCheckedDateEdit::SetDate(const QDate& date)
{
    mDateEdit->setDate(date);
}

void TCheckedDateEdit::SetAccessibleNames(const QString& dateName)
{
    mDateEdit->setAccessibleName(dateName);
    mCheckBox->setAccessibleName(QStringLiteral("Use ") + dateName);
}
