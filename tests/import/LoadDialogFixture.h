#pragma once

#include "chart/Chart.h"
#include "chart/ChartSeries.h"
#include "chartdata/ChartData.h"
#include "import/CheckedDateEdit.h"
#include "import/LoadDataForm.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/UiDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimeEdit>

#include <functional>
#include <ostream>
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

inline QStringList LegendTexts(const QListWidget* legend)
{
    QStringList texts;
    for (int i = 0; i < legend->count(); ++i)
        texts << legend->item(i)->text();
    return texts;
}

// Watches for progress dialogs while it lives; with CancelOnSight it presses
// the Cancel button of the first one as soon as it shows.
class ProgressWatcher : public QObject {
public:
    bool CancelOnSight = false;
    int Shown = 0;

    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QProgressDialog*>(watched);
        if (dialog && event->type() == QEvent::Show) {
            ++Shown;
            if (CancelOnSight) {
                auto* cancel = dialog->findChild<QPushButton*>();
                QMetaObject::invokeMethod(
                    dialog, [cancel] { cancel->click(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }
};

// The chart, the legend and the view as a user sees them, with every
// series' points.
struct TChartLook {
    QStringList Titles;
    QStringList Legend;
    TDateTime Min, Max, Start, CursorBottom, CursorTop;
    double ValueMin, ValueMax;
    std::vector<Points> SeriesPoints;
    bool operator==(const TChartLook& o) const
    {
        return Titles == o.Titles && Legend == o.Legend && Min == o.Min && Max == o.Max && Start == o.Start
               && CursorBottom == o.CursorBottom && CursorTop == o.CursorTop && ValueMin == o.ValueMin
               && ValueMax == o.ValueMax && SeriesPoints == o.SeriesPoints;
    }
};

inline std::ostream& operator<<(std::ostream& out, const TChartLook& look)
{
    out << "series [" << look.Titles.join(", ").toStdString() << "] legend ["
        << look.Legend.join(", ").toStdString() << "] axis " << look.Min << " to " << look.Max << " start "
        << look.Start << " cursor " << look.CursorBottom << " to " << look.CursorTop << " values " << look.ValueMin
        << " to " << look.ValueMax << " points";
    for (const Points& points : look.SeriesPoints)
        out << " " << points.size();
    return out;
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

    // An hour of video from 07:00 with two series of two points each, shown
    // as a load leaves them.
    void ShowTwoSeries()
    {
        OpenVideo(3600, EncodeTime(QTime(7, 0)));
        for (const char* title : {"Speed", "Temperature"}) {
            TFastLineSeries* series = AddChartSeries(Chart(), title);
            series->AddXY(EncodeTime(QTime(7, 0, 1)), 1);
            series->AddXY(EncodeTime(QTime(7, 0, 2)), 3);
        }
        window->FitCursorHeight();
        window->FillLegend();
        window->UpdateControls();
    }

    // As drawn: the value axis follows the series at a replot.
    TChartLook Look() const
    {
        Chart().ReplotNow();
        TChartLook look{{},
                        LegendTexts(window->lvwLegend),
                        Axis().Minimum(),
                        Axis().Maximum(),
                        window->StartTime,
                        window->MarkSerie->Y0(),
                        window->MarkSerie->Y1(),
                        Chart().LeftAxis().Minimum(),
                        Chart().LeftAxis().Maximum(),
                        {}};
        for (int i = 1; i < Chart().SeriesCount(); ++i) {
            look.Titles << QString::fromLatin1(Chart().LineSeries(i)->Title());
            look.SeriesPoints.push_back(PointsOf(Chart().LineSeries(i)));
        }
        return look;
    }

    // Shows two series and runs the dialog: choose sets it up, then the
    // button `load` is pressed while a watcher presses Cancel as soon as the
    // progress shows. Expects the dialog to stay open without a box or the
    // wait cursor, and the chart as it was; then runs `after` in the dialog.
    void ExpectCancelLeavesTheChart(const std::function<void(TfrmLoadData&)>& choose,
                                    QPushButton* TfrmLoadData::*load,
                                    const std::function<void(TfrmLoadData&)>& after = {})
    {
        ShowTwoSeries();
        const TChartLook before = Look();
        ModalBoxCatcher boxes;
        RunDialog([&](TfrmLoadData& dialog) {
            choose(dialog);
            {
                ProgressWatcher watcher;
                watcher.CancelOnSight = true;
                (dialog.*load)->click();
                EXPECT_EQ(watcher.Shown, 1);
            }
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_FALSE(QApplication::overrideCursor());
            EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
            EXPECT_EQ(Look(), before);
            if (after)
                after(dialog);
        });
    }

    QStringList FileFilters;
};
