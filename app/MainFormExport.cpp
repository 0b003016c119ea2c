// The export of what the main window shows.
#include "app/MainForm.h"

#include "chart/Chart.h"
#include "export/ExportDialog.h"
#include "multivideo/VideoSet.h"

void TfrmMain::sbnExportClick()
{
    TExportSource source;
    source.Chart = ChartAll;
    source.VideoFileName = VideoFileName;
    for (const TAddedVideo& added : mVideos->Arrangement())
        source.AddedVideos << added.FileName;
    source.StartTime = StartTime;
    source.View = {ChartAll->BottomAxis().Minimum(), ChartAll->BottomAxis().Maximum()};
    source.FullMax = DefaultAxisMax;
    source.Cursor = MarkSerie->X0();
    source.Duration = VideoDuration;
    source.WindowSize = size();
    RunExportDialog(source, this);
}
