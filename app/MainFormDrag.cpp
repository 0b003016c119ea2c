// Dragging on the main window's chart: a Shift+drag chooses a span to zoom to.
#include "app/MainForm.h"

#include "app/DragZoom.h"
#include "chart/Chart.h"

#include <algorithm>
#include <cstdlib>

TDateTime TfrmMain::TimeAtColumn(int x) const
{
    const TTimeAxis& axis = ChartAll->BottomAxis();
    return std::clamp(axis.CalcPosPoint(x), axis.Minimum(), axis.Maximum());
}

void TfrmMain::ChartMouseMove(int x)
{
    if (!mSelecting)
        return;
    if (std::abs(x - mSelectionStartX) > DragThreshold)
        mSelectionMoved = true;
    if (mSelectionMoved)
        ChartAll->Markers().SetSelection(TimeAtColumn(mSelectionStartX), TimeAtColumn(x));
}

void TfrmMain::ChartMouseRelease(Qt::MouseButton button, int x)
{
    if (button != Qt::LeftButton || !mSelecting)
        return;
    mSelecting = false;
    ChartAll->Markers().ClearSelection();
    if (!mSelectionMoved) {
        SeekToPixel(x);
        return;
    }
    ZoomTo(DraggedSpanView(TimeAtColumn(mSelectionStartX), TimeAtColumn(x), {DefaultAxisMin, DefaultAxisMax}));
}
