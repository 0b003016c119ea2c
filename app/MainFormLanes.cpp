// The main window's chart in lanes or on one shared axis.
#include "app/MainForm.h"

#include "chart/Chart.h"
#include "common/LanesChoice.h"

#include <QAction>

void TfrmMain::miLanesClick()
{
    const bool lanes = !ChartAll->Laned();
    ShowLanes(lanes);
    RememberLanes(VideoFileName, lanes);
}

void TfrmMain::ShowLanes(bool lanes)
{
    miLanes->setText(lanes ? QStringLiteral("One Shared Axis") : QStringLiteral("One Lane per Series"));
    if (ChartAll->Laned() == lanes)
        return;
    ChartAll->SetLaned(lanes);
    // The cursor spans the lanes, or the shared axis' values again.
    FitCursorHeight();
}
