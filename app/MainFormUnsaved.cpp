// Chart data not saved yet: a question before it would be lost, and the
// series that the legend's "Delete" and "Clear Chart Data" removed put back
// by Ctrl+Z until the next load or save.
#include "app/MainForm.h"

#include "about/ProdInfo.h"
#include "chart/Chart.h"
#include "common/MessageBoxes.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>

bool TfrmMain::DataUnsaved() const
{
    return mDataUnsaved && ChartAll->SeriesCount() > 1;
}

bool TfrmMain::KeepUnsavedData()
{
    if (!DataUnsaved())
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, ProductInfo.ProductName,
        QStringLiteral("Save the chart data of %1?").arg(QFileInfo(VideoFileName).fileName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        // A save that fails leaves the data where it is, and the command
        // that asked stops.
        sbnSaveDataClick();
        return true;
    }
    return answer == QMessageBox::Discard;
}

void TfrmMain::DataChanged()
{
    mDataUnsaved = true;
}

void TfrmMain::UndoRemoval()
{
    bool unsaved = false;
    if (!mSeriesUndo.Undo(*ChartAll, unsaved))
        return;
    mDataUnsaved = unsaved;
    FillLegend();
    FitCursorHeight();
    UpdateControls();
}

void TfrmMain::ForgetRemovals()
{
    mSeriesUndo.Forget();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    bool closing = false;
    RunCommand([&] { closing = KeepUnsavedData(); });
    if (!closing) {
        event->ignore();
        return;
    }
    KeepPlacement();
    QWidget::closeEvent(event);
}
