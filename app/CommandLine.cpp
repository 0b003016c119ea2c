#include "app/CommandLine.h"

#include "app/MainForm.h"

#include <QFileInfo>

void OpenCommandLineVideo(TfrmMain& window, const QStringList& arguments)
{
    if (arguments.size() < 2)
        return;
    // The companion file is named after the video's full path.
    window.OpenVideoLater(QFileInfo(arguments.at(1)).absoluteFilePath());
}
