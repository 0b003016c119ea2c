#pragma once

#include <QStringList>

#include <optional>

class TfrmMain;

// Answers the command lines that need no window, before any application
// object exists and so without a display: `plotreel --version` prints the
// program's name and version. Returns the exit code when it answered, nothing
// when the program should start as usual.
std::optional<int> AnswerWithoutWindow(int argc, char** argv);

// `plotreel FILE` opens FILE as the video once the window is shown, as "Open
// Video" does; an error shows in the same box. `arguments` are the
// application's, the program's name first, Qt's own options taken out.
void OpenCommandLineVideo(TfrmMain& window, const QStringList& arguments);
