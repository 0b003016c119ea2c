#pragma once

#include "import/LoadDataForm.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/UiDriver.h"
#include "chart/ChartSeries.h"
#include "import/CheckedDateEdit.h"

#include <QComboBox>
#include <QListWidget>
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

inline QStringList TickedFields(const QListWidget* list)
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

// The main window whose "Load Data" opens the real load dialog.
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
};
