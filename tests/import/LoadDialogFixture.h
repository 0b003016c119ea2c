#pragma once

#include "chart/Chart.h"
#include "chart/ChartSeries.h"
#include "import/CheckedDateEdit.h"
#include "import/LoadDataForm.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/UiDriver.h"

#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimeEdit>

#include <functional>
#include <utility>
#include <vector>

using Points = std::vector<std::pair<double, double>>;

inline Points PointsOf(const TFastLineSeries* series)
{
    Points points;
    for (int i = 0; i < series->Count(); ++i)
        points.emplace_back(series->XValue(i), series->YValue(i));
    return points;
}

inline QStringList Entries(const QComboBox* list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries;
}

inline QStringList TickedEntries(const QListWidget* list)
{
    QStringList ticked;
    for (int i = 0; i < list->count(); ++i) {
        if (list->item(i)->checkState() == Qt::Checked)
            ticked << list->item(i)->text();
    }
    return ticked;
}

// The start translation time: a time of day, on a date when one is given.
inline void SetStart(TfrmLoadData& dialog, const QTime& time, const QDate& date = QDate())
{
    dialog.dtpTime->setTime(time);
    dialog.dtpDate->SetChecked(date.isValid());
    if (date.isValid())
        dialog.dtpDate->SetDate(date);
}

// The main window with its "Load Chart Data" dialog, driven as a user does.
class LoadDialog : public MainWindow {
protected:
    // Opens the dialog with "Load Data" and runs act on it; the dialog is
    // closed as by Esc if act leaves it open. Returns whether it stayed open.
    bool RunDialog(const std::function<void(TfrmLoadData&)>& act)
    {
        bool stayedOpen = false;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TfrmLoadData*>(modal);
            if (!dialog) {
                ADD_FAILURE() << "the load dialog did not open";
                modal->close();
                return;
            }
            act(*dialog);
            stayedOpen = dialog->isVisible();
            if (stayedOpen)
                dialog->reject();
        });
        window->sbnOpenData->click();
        return stayedOpen;
    }

    // Presses a tab's button that runs a file dialog and picks fileName in
    // it, or cancels it when fileName is empty; FileFilters then holds the
    // dialog's filters. The load dialog stays the active modal window until
    // the file dialog shows, so the answer waits for a file dialog in
    // particular.
    void PickFile(QPushButton* button, const QString& fileName)
    {
        const std::function<void()> answer = [this, fileName, &answer] {
            WhenModal([this, fileName, &answer](QWidget* modal) {
                auto* fileDialog = qobject_cast<QFileDialog*>(modal);
                if (!fileDialog) {
                    answer();
                    return;
                }
                FileFilters = fileDialog->nameFilters();
                if (fileName.isEmpty()) {
                    fileDialog->reject();
                    return;
                }
                // The dialog ignores a selection while its name box has the
                // focus.
                if (QWidget* focus = fileDialog->focusWidget())
                    focus->clearFocus();
                fileDialog->selectFile(fileName);
                QMetaObject::invokeMethod(fileDialog, "accept");
            });
        };
        answer();
        button->click();
    }

    TFastLineSeries* Data(int position) const { return Chart().LineSeries(position); }

    QStringList FileFilters;
};
