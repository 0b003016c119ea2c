// Playback, the cursor and the time axis view of the main window.
#include "app/MainForm.h"

#include "common/TimeMapping.h"
#include "app/ViewZoom.h"
#include "chart/Chart.h"
#include "multivideo/VideoSet.h"
#include "video/VideoPlayer.h"

#include <QToolButton>

void TfrmMain::sbnPlayPauseClick()
{
    if (mPlayer->Playing()) {
        mPlayer->Pause();
        // With other videos beside it, the main video settles on the exact
        // frame of its time, as they do.
        if (mVideos->Count() > 0)
            mPlayer->SetPosition(mPlayer->GetPosition());
        FollowPlayer();
        SyncAddedVideos(mPlayer->GetPosition());
    } else {
        mPlayer->Play();
        if (mPlayer->Playing())
            mVideos->Sync(mPlayer->GetPosition(), true);
    }
    ShowPlayState(mPlayer->Playing());
}

void TfrmMain::SyncAddedVideos(double seconds)
{
    mVideos->Sync(seconds, mPlayer->Playing());
}

void TfrmMain::ShowPlayState(bool playing)
{
    sbnPlayPause->setIcon(playing ? imgPause : imgPlay);
    // A screen reader says what a press does now.
    sbnPlayPause->setAccessibleName(playing ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void TfrmMain::PlayerStop(TVideoPlayer*)
{
    ShowPlayState(false);
    // The picture stops where the last report may be well behind it.
    FollowPlayer();
    SyncAddedVideos(mPlayer->GetPosition());
}

void TfrmMain::FollowPlayer()
{
    PlayerPosition(mPlayer.get(), mPlayer->GetPosition());
}

void TfrmMain::PlayerPosition(TVideoPlayer*, float position)
{
    SetCursorX(VideoToChartTime(StartTime, position));
    UpdateControls();
    TTimeAxis& axis = ChartAll->BottomAxis();
    TView view;
    // Both bounds in one step: a narrow view may move by more than its width.
    if (FollowCursorView({axis.Minimum(), axis.Maximum()}, MarkSerie->X0(), DefaultAxisMax, view))
        axis.SetMinMax(view.Min, view.Max);
}

void TfrmMain::ChartAllClickSeries(TChartSeries*, int, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                   int y)
{
    ChartAllClickBackground(button, shift, x, y);
}

void TfrmMain::ChartAllClickBackground(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int)
{
    if (button == Qt::MiddleButton) {
        mPanning = true;
        mPanX = x;
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (shift & Qt::ShiftModifier && !(shift & Qt::ControlModifier)) {
        // A span to zoom to, or a click when the pointer does not move.
        mSelecting = true;
        mSelectionMoved = false;
        mSelectionStartX = x;
        return;
    }
    if (!(shift & Qt::ControlModifier)) {
        // A click, or the start of a scrub when the pointer moves on.
        SeekToPixel(x);
        mScrubbing = true;
        mScrubMoved = false;
        mScrubResumes = false;
        mScrubStartX = x;
        return;
    }
    const TTimeAxis& axis = ChartAll->BottomAxis();
    const TDateTime t = axis.CalcPosPoint(x);
    if (t >= axis.Minimum() && t <= axis.Maximum())
        PlaceMarker(t);
}

void TfrmMain::SeekToPixel(int x)
{
    const TTimeAxis& axis = ChartAll->BottomAxis();
    const TDateTime t = axis.CalcPosPoint(x);
    if (t < axis.Minimum() || t > axis.Maximum())
        return;
    SetCursorX(t);
    const float seconds = ChartToVideoSeconds(StartTime, t);
    mPlayer->SetPosition(seconds);
    SyncAddedVideos(seconds);
    UpdateControls();
}

void TfrmMain::FitCursorHeight()
{
    MarkSerie->SetActive(false);
    TValueAxis& values = ChartAll->LeftAxis();
    values.AdjustNow();
    MarkSerie->SetY0(values.Minimum());
    MarkSerie->SetY1(values.Maximum());
    MarkSerie->SetActive(true);
}

void TfrmMain::ZoomTo(TView view)
{
    TTimeAxis& axis = ChartAll->BottomAxis();
    if (view.Min == axis.Minimum() && view.Max == axis.Maximum())
        return;
    mZoomHistory.Push({axis.Minimum(), axis.Maximum()});
    axis.SetMinMax(view.Min, view.Max);
}

void TfrmMain::ZoomBack()
{
    TView view;
    if (ChartAll->isEnabled() && mZoomHistory.Back(view))
        ChartAll->BottomAxis().SetMinMax(view.Min, view.Max);
}

void TfrmMain::sbnZoomInClick()
{
    if (!ChartAll->isEnabled())
        return;
    TTimeAxis& axis = ChartAll->BottomAxis();
    ZoomTo(ZoomInView({axis.Minimum(), axis.Maximum()}, MarkSerie->X0()));
}

void TfrmMain::sbnZoomOutClick()
{
    if (!ChartAll->isEnabled())
        return;
    TTimeAxis& axis = ChartAll->BottomAxis();
    ZoomTo(ZoomOutView({axis.Minimum(), axis.Maximum()}, {DefaultAxisMin, DefaultAxisMax}));
}

void TfrmMain::sbnZoomOriginalClick()
{
    if (!ChartAll->isEnabled())
        return;
    mZoomHistory.Clear();
    TTimeAxis& axis = ChartAll->BottomAxis();
    axis.SetMinimum(DefaultAxisMin);
    axis.SetMaximum(DefaultAxisMax);
}

bool TfrmMain::OverChart(const QPoint& globalPos) const
{
    const QPoint p = ChartAll->mapFromGlobal(globalPos);
    return p.x() > 0 && p.x() < ChartAll->width() && p.y() > 0 && p.y() < ChartAll->height();
}

void TfrmMain::PanByWheel(int wheelDelta, const QPoint& mousePos)
{
    if (!ChartAll->isEnabled() || !OverChart(mousePos))
        return;
    // A notch is 120; a turn to the right (a negative delta) shows later times.
    constexpr double NotchFraction = 0.1;
    TTimeAxis& axis = ChartAll->BottomAxis();
    const TView view = PanView({axis.Minimum(), axis.Maximum()}, -wheelDelta / 120.0 * NotchFraction,
                               {DefaultAxisMin, DefaultAxisMax});
    axis.SetMinMax(view.Min, view.Max);
}

void TfrmMain::FormMouseWheel(int wheelDelta, const QPoint& mousePos)
{
    if (!OverChart(mousePos))
        return;
    if (wheelDelta > 0)
        sbnZoomOutClick();
    else
        sbnZoomInClick();
}
