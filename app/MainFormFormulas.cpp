// Series made by formulas over the chart's series.
#include "app/MainForm.h"

#include "chart/Chart.h"
#include "derived/ChartFormulas.h"

#include <QListWidget>

void TfrmMain::miNewFormulaClick()
{
    if (!ChartAll->isEnabled() || !mFormulas->NewSeries())
        return;
    DataChanged();
    FitCursorHeight();
    FillLegend();
    UpdateControls();
}

void TfrmMain::miEditFormulaClick()
{
    const QListWidgetItem* item = lvwLegend->currentItem();
    if (!item || !item->isSelected() || !mFormulas->EditSeries(lvwLegend->row(item) + 1))
        return;
    DataChanged();
    FitCursorHeight();
    FillLegend();
    UpdateControls();
}

void TfrmMain::ShowFormulaTips()
{
    for (int row = 0; row < lvwLegend->count(); ++row)
        lvwLegend->item(row)->setToolTip(mFormulas->Describe(row + 1));
}
