#pragma once

#include "derived/SeriesNames.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// "New Series from Formula": the formula, the names of the series it may
// use, and the title and unit of the result. The formula is read when the
// user presses the button; one that cannot be read keeps the dialog open with
// the problem shown and the cursor at its place.
class TfrmFormula : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFormula(QWidget* parent);

    // Runs the dialog over the series' titles, with what it starts with;
    // `notes` are shown above the formula (why a series cannot be made
    // again, say). True when the user gave a formula that reads.
    bool Run(const QStringList& titles, const QString& formula, const QString& title, const QString& unit,
             const QStringList& notes, bool editing);

    QString Formula() const;
    QString Title() const;
    QString Unit() const;
    const std::vector<TSeriesName>& Names() const { return mNames; }

    QLineEdit* edtFormula = nullptr;
    QTableWidget* lvwNames = nullptr;
    QLineEdit* edtTitle = nullptr;
    QLineEdit* edtUnit = nullptr;
    QLabel* lblMessage = nullptr;
    QPushButton* btnAdd = nullptr;

private:
    void AddClick();
    void ShowMessage(const QString& text, bool problem);

    std::vector<TSeriesName> mNames;
};
