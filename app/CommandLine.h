#pragma once

#include <QStringList>

class TfrmMain;

// `plotreel FILE` opens FILE as the video once the window is shown, as "Open
// Video" does; an error shows in the same box. `arguments` are the
// application's, the program's name first, Qt's own options taken out.
void OpenCommandLineVideo(TfrmMain& window, const QStringList& arguments);
