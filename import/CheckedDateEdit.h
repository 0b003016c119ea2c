#pragma once

#include "common/DateTime.h"

#include <QWidget>

class QCheckBox;
class QDateEdit;

// A date picker with a check box that says whether the date counts.
class TCheckedDateEdit : public QWidget {
public:
    explicit TCheckedDateEdit(QWidget* parent = nullptr);

    bool Checked() const;
    void SetChecked(bool checked);
    QDate Date() const;
    void SetDate(const QDate& date);

    QDateEdit* DateEdit() const { return mDateEdit; }

private:
    QCheckBox* mCheckBox;
    QDateEdit* mDateEdit;
};
