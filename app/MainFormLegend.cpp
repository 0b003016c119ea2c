// The legend beside the chart: hide, show, rename and delete data series.
#include "app/MainForm.h"

#include "app/DataStrip.h"
#include "app/LegendDelegate.h"
#include "chart/Chart.h"
#include "chartdata/SeriesTitle.h"
#include "common/Fonts.h"
#include "common/MessageBoxes.h"
#include "derived/ChartFormulas.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>

void TfrmMain::CreateLegend()
{
    lvwLegend->setViewMode(QListView::ListMode);
    lvwLegend->setFlow(QListView::TopToBottom);
    lvwLegend->setWrapping(true);
    lvwLegend->setResizeMode(QListView::Adjust);
    lvwLegend->setFrameShape(QFrame::NoFrame);
    lvwLegend->setContentsMargins(10, 10, 10, 10);
    lvwLegend->setIconSize(QSize(16, 16));
    lvwLegend->setEditTriggers(QAbstractItemView::EditKeyPressed);
    lvwLegend->setBackgroundRole(QPalette::Window);
    lvwLegend->viewport()->setBackgroundRole(QPalette::Window);
    lvwLegend->setFont(ArialFont(12));

    auto* delegate = new TLegendDelegate(
        [this](int row) {
            const TFastLineSeries* series = row + 1 < ChartAll->SeriesCount() ? ChartAll->LineSeries(row + 1) : nullptr;
            return series ? series->SeriesColor() : QColor();
        },
        lvwLegend);
    lvwLegend->setItemDelegate(delegate);
    connect(delegate, &TLegendDelegate::Edited, this,
            [this](int row, const QString& text) { RunCommand([&] { lvwLegendEdited(row, text); }); });
    // A check box toggled by mouse or keyboard shows on the chart at once.
    connect(lvwLegend, &QListWidget::itemChanged, this, [this] { RunCommand([this] { lvwLegendClick(); }); });

    lvwLegend->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvwLegend, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmnLegend->popup(lvwLegend->viewport()->mapToGlobal(pos)); });
    for (QAction* action : {miEdit, miDelete}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        lvwLegend->addAction(action);
    }
    connect(miEdit, &QAction::triggered, this, [this] { RunCommand([this] { miEditClick(); }); });
    connect(miDelete, &QAction::triggered, this, [this] { RunCommand([this] { miDeleteClick(); }); });
    connect(miClearChartData, &QAction::triggered, this, [this] { RunCommand([this] { miClearChartDataClick(); }); });
    connect(miLanes, &QAction::triggered, this, [this] { RunCommand([this] { miLanesClick(); }); });
    connect(miNewFormula, &QAction::triggered, this, [this] { RunCommand([this] { miNewFormulaClick(); }); });
    connect(miEditFormula, &QAction::triggered, this, [this] { RunCommand([this] { miEditFormulaClick(); }); });
    // "Edit Formula..." is there for a series a formula made.
    connect(pmnLegend, &QMenu::aboutToShow, this, [this] {
        const QListWidgetItem* item = lvwLegend->currentItem();
        miEditFormula->setEnabled(item && item->isSelected() && mFormulas->IsDerived(lvwLegend->row(item) + 1));
    });
}

void TfrmMain::FillLegend()
{
    const QSignalBlocker quiet(lvwLegend);
    lvwLegend->clear();
    for (int i = 1; i < ChartAll->SeriesCount(); ++i) {
        const TFastLineSeries* series = ChartAll->LineSeries(i);
        auto* item = new QListWidgetItem(TitleToDisplay(series->Title()), lvwLegend);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        item->setCheckState(series->Active() ? Qt::Checked : Qt::Unchecked);
    }
}

void TfrmMain::lvwLegendClick()
{
    for (int i = 1; i < ChartAll->SeriesCount(); ++i) {
        const QListWidgetItem* item = lvwLegend->item(i - 1);
        if (!item)
            break;
        const bool checked = item->checkState() == Qt::Checked;
        TFastLineSeries* series = ChartAll->LineSeries(i);
        if (series->Active() != checked) {
            series->SetActive(checked);
            FitCursorHeight();
            pbxData->Refresh();
        }
    }
}

void TfrmMain::miEditClick()
{
    if (QListWidgetItem* item = lvwLegend->currentItem(); item && item->isSelected())
        lvwLegend->editItem(item);
}

void TfrmMain::lvwLegendEdited(int row, const QString& text)
{
    if (row + 1 >= ChartAll->SeriesCount())
        return;
    TFastLineSeries* series = ChartAll->LineSeries(row + 1);
    const QByteArray title = TitleFromDisplay(text);
    if (series->Title() != title)
        DataChanged();
    series->SetTitle(title);
}

void TfrmMain::miDeleteClick()
{
    QListWidgetItem* item = lvwLegend->currentItem();
    if (!item || !item->isSelected())
        return;
    const int k = lvwLegend->row(item);
    mSeriesUndo.Remove(*ChartAll, k + 1, mDataUnsaved);
    DataChanged();
    delete item;
    FitCursorHeight();
    UpdateControls();
}

void TfrmMain::miClearChartDataClick()
{
    // Series come back only by a load or by Ctrl+Z, each of which says
    // whether they are saved.
    mSeriesUndo.RemoveAll(*ChartAll, mDataUnsaved);
    lvwLegend->clear();
    lvwLegend->setVisible(false);
    UpdateControls();
}
