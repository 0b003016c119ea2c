// The keys of the main window: playback, stepping, the sync of the data with
// the video, the speed, the file commands and the zoom.
#include "app/MainForm.h"

#include "app/CursorView.h"
#include "app/PlaybackSpeed.h"
#include "app/SyncNudge.h"
#include "chart/Chart.h"
#include "common/MessageBoxes.h"
#include "common/TimeMapping.h"
#include "common/TimeText.h"
#include "multivideo/VideoSet.h"
#include "video/VideoPlayer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QToolButton>

bool TfrmMain::KeyPressed(const QKeyEvent& event, const QWidget& receiver)
{
    if (QApplication::activeModalWidget())
        return false;
    const TKeyCommand command = KeyCommandFor(event.key(), event.modifiers());
    if (command == TKeyCommand::None)
        return false;
    // A focused button presses on Space, as everywhere on the desktop.
    const bool space = event.key() == Qt::Key_Space && event.modifiers() == Qt::NoModifier;
    if (space && qobject_cast<const QAbstractButton*>(QApplication::focusWidget()))
        return false;
    // The legend keeps its arrow keys and Space (which ticks a series), and
    // its in-place editor every key; also when the legend leaves a key to its
    // parents.
    for (const QWidget* widget : {&receiver, static_cast<const QWidget*>(QApplication::focusWidget())}) {
        if (!widget || (widget != lvwLegend && !lvwLegend->isAncestorOf(widget)))
            continue;
        if (widget != lvwLegend && widget != lvwLegend->viewport())
            return false;
        const bool arrow = event.key() == Qt::Key_Left || event.key() == Qt::Key_Right;
        if (space || (arrow && !(event.modifiers() & Qt::AltModifier)))
            return false;
    }
    RunCommand([&] { RunKeyCommand(command); });
    return true;
}

void TfrmMain::RunKeyCommand(TKeyCommand command)
{
    // Where a button gives the command, the key clicks it; a disabled button
    // does nothing.
    switch (command) {
    case TKeyCommand::PlayPause:
        sbnPlayPause->click();
        return;
    case TKeyCommand::OpenVideo:
        sbnOpenVideo->click();
        return;
    case TKeyCommand::AddVideo:
        sbnAddVideo->click();
        return;
    case TKeyCommand::LoadData:
        sbnOpenData->click();
        return;
    case TKeyCommand::SaveData:
        sbnSaveData->click();
        return;
    case TKeyCommand::Export:
        sbnExport->click();
        return;
    case TKeyCommand::ZoomIn:
        sbnZoomIn->click();
        return;
    case TKeyCommand::ZoomOut:
        sbnZoomOut->click();
        return;
    case TKeyCommand::ZoomDefault:
        sbnZoomOriginal->click();
        return;
    default:
        break;
    }
    // The rest need a video.
    if (!ChartAll->isEnabled())
        return;
    switch (command) {
    case TKeyCommand::FrameBack:
        StepFrames(-1);
        break;
    case TKeyCommand::FrameForward:
        StepFrames(1);
        break;
    case TKeyCommand::JumpBack:
        SeekToSeconds(mPlayer->GetPosition() - JumpSeconds);
        break;
    case TKeyCommand::JumpForward:
        SeekToSeconds(mPlayer->GetPosition() + JumpSeconds);
        break;
    case TKeyCommand::GoToStart:
        SeekToSeconds(0);
        break;
    case TKeyCommand::GoToEnd:
        mPlayer->ShowLastFrame();
        ShowPlayState(false);
        break;
    case TKeyCommand::NudgeFrameEarlier:
        NudgeKey(true, -1);
        break;
    case TKeyCommand::NudgeFrameLater:
        NudgeKey(true, 1);
        break;
    case TKeyCommand::NudgeStepEarlier:
        NudgeKey(false, -1);
        break;
    case TKeyCommand::NudgeStepLater:
        NudgeKey(false, 1);
        break;
    case TKeyCommand::Slower:
        ChangeSpeed(-1);
        break;
    case TKeyCommand::Faster:
        ChangeSpeed(1);
        break;
    case TKeyCommand::PlaceMarker:
        PlaceMarker(MarkSerie->X0());
        break;
    case TKeyCommand::ClearMarkers:
        // Esc first gives up a span being chosen to zoom to.
        if (mSelecting) {
            mSelecting = false;
            ChartAll->Markers().ClearSelection();
        } else {
            ClearMarkers();
        }
        break;
    case TKeyCommand::ZoomBack:
        ZoomBack();
        break;
    case TKeyCommand::Undo:
        UndoRemoval();
        break;
    default:
        break;
    }
}

void TfrmMain::StepFrames(int frames)
{
    // The cursor follows when the frame is shown.
    mPlayer->StepFrames(frames);
    ShowPlayState(false);
}

void TfrmMain::SeekToSeconds(float seconds)
{
    const float target = qBound(0.0f, seconds, VideoDuration);
    ShowCursorAt(target);
    mPlayer->SetPosition(target);
    SyncAddedVideos(target);
}

void TfrmMain::ShowCursorAt(double seconds)
{
    SetCursorX(VideoToChartTime(StartTime, seconds));
    TTimeAxis& axis = ChartAll->BottomAxis();
    const TView view = ViewShowingCursor({axis.Minimum(), axis.Maximum()}, MarkSerie->X0(),
                                         {DefaultAxisMin, DefaultAxisMax});
    if (view.Min != axis.Minimum() || view.Max != axis.Maximum())
        axis.SetMinMax(view.Min, view.Max);
    UpdateControls();
}

void TfrmMain::NudgeKey(bool byFrame, int direction)
{
    if (mVideos->Selected() >= 0) {
        const double step = byFrame ? mVideos->SelectedFrameSeconds() : NudgeStepSeconds;
        mVideos->NudgeSelected(direction * step, mPlayer->GetPosition(), mPlayer->Playing());
        return;
    }
    NudgeData(direction * (byFrame ? double(mPlayer->FrameDuration()) : NudgeStepSeconds));
}

void TfrmMain::NudgeData(double seconds)
{
    TTimeAxis& axis = ChartAll->BottomAxis();
    const TSyncState moved = NudgeSync(
        {StartTime, {DefaultAxisMin, DefaultAxisMax}, {axis.Minimum(), axis.Maximum()}, MarkSerie->X0()}, seconds);
    if (ChartAll->SeriesCount() > 1)
        DataChanged();
    StartTime = moved.StartTime;
    DefaultAxisMin = moved.Full.Min;
    DefaultAxisMax = moved.Full.Max;
    axis.SetMinMax(moved.View.Min, moved.View.Max);
    SetCursorX(moved.Cursor);
    UpdateControls();
}

void TfrmMain::ChangeSpeed(int change)
{
    mSpeedStep = NextSpeedStep(mSpeedStep, change);
    mPlayer->SetSpeed(SpeedOfStep(mSpeedStep));
    mVideos->SetSpeed(SpeedOfStep(mSpeedStep));
    if (mPlayer->Playing())
        FollowPlayer();
    UpdateControls();
}

QString TfrmMain::CurrentTimeText() const
{
    QStringList parts{LongTimeText(MarkSerie->X0(), QLocale())};
    for (const QString& note : {SpeedText(mSpeedStep), SyncOffsetText(StartTime, mSyncBase)}) {
        if (!note.isEmpty())
            parts << note;
    }
    return parts.join(QStringLiteral("  "));
}
