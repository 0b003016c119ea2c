// Dragging on the main window's chart: a drag with the left button scrubs
// the video, a Shift+drag chooses a span to zoom to, the middle button moves
// the view.
#include "app/MainForm.h"

#include "app/DragZoom.h"
#include "common/TimeMapping.h"
#include "chart/Chart.h"
#include "multivideo/VideoSet.h"
#include "video/VideoPlayer.h"

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
    if (mScrubbing) {
        if (!mScrubMoved && std::abs(x - mScrubStartX) > DragThreshold) {
            mScrubMoved = true;
            mScrubResumes = mPlayer->Playing();
            if (mScrubResumes) {
                mPlayer->Pause();
                ShowPlayState(false);
            }
        }
        if (mScrubMoved)
            ScrubToColumn(x);
        return;
    }
    if (!mSelecting)
        return;
    if (std::abs(x - mSelectionStartX) > DragThreshold)
        mSelectionMoved = true;
    if (mSelectionMoved)
        ChartAll->Markers().SetSelection(TimeAtColumn(mSelectionStartX), TimeAtColumn(x));
}

void TfrmMain::ScrubToColumn(int x)
{
    // Beyond the plot's edges the view scrolls on, as far as the video goes.
    const QRect plot = ChartAll->PlotRect();
    const double scroll = EdgeScrollFraction(x, plot.left(), plot.right());
    TTimeAxis& axis = ChartAll->BottomAxis();
    if (scroll != 0) {
        const TView view = PanView({axis.Minimum(), axis.Maximum()}, scroll, {DefaultAxisMin, DefaultAxisMax});
        axis.SetMinMax(view.Min, view.Max);
    }
    const TDateTime t = TimeAtColumn(x);
    SetCursorX(t);
    const float seconds = ChartToVideoSeconds(StartTime, t);
    mPlayer->ScrubTo(seconds);
    mVideos->Scrub(seconds);
    UpdateControls();
}

void TfrmMain::EndScrub(int x)
{
    mScrubbing = false;
    if (!mScrubMoved)
        return;
    // The picture ends exactly at the instant under the pointer.
    const TDateTime t = TimeAtColumn(x);
    SetCursorX(t);
    const float seconds = ChartToVideoSeconds(StartTime, t);
    mPlayer->SetPosition(seconds);
    if (mScrubResumes) {
        mPlayer->Play();
        ShowPlayState(true);
    }
    SyncAddedVideos(seconds);
    UpdateControls();
}

void TfrmMain::ChartMouseRelease(Qt::MouseButton button, int x)
{
    if (button == Qt::MiddleButton)
        mPanning = false;
    if (button == Qt::LeftButton && mScrubbing) {
        EndScrub(x);
        return;
    }
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
