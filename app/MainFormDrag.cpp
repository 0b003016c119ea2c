// Dragging on the main window's chart: a Shift+drag chooses a span to zoom
// to, the middle button moves the view.
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
    if (mPanning) {
        // The instant under the pointer stays under it, as far as the video goes.
        const int width = ChartAll->PlotRect().width();
        TTimeAxis& axis = ChartAll->BottomAxis();
        if (width > 0 && x != mPanX) {
            const TView view = PanView({axis.Minimum(), axis.Maximum()}, double(mPanX - x) / width,
                                       {DefaultAxisMin, DefaultAxisMax});
            axis.SetMinMax(view.Min, view.Max);
        }
        mPanX = x;
        return;
    }
    if (!mSelecting)
        return;
    if (std::abs(x - mSelectionStartX) > DragThreshold)
        mSelectionMoved = true;
    if (mSelectionMoved)
        ChartAll->Markers().SetSelection(TimeAtColumn(mSelectionStartX), TimeAtColumn(x));
}

void TfrmMain::ChartMouseRelease(Qt::MouseButton button, int x)
{
    if (button == Qt::MiddleButton)
        mPanning = false;
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
