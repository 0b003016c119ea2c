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
    // Names the date for screen readers, and the check box after it ("Use ...").
    void SetAccessibleNames(const QString& dateName);

private:
    QCheckBox* mCheckBox;
    QDateEdit* mDateEdit;
};
