#pragma once

#include <QString>

#include <functional>

class QTemporaryDir;

// What a sub-command's windows are shown on.
enum class TBenchScreen {
    // Any display, or Qt's offscreen platform.
    Any,
    // An X display: mpv draws its pictures into X windows.
    X,
};

// Runs the figures of a sub-command that shows windows: checks for the
// screen, makes the application and a temporary folder, and turns an error
// into a message and exit code 1. Returns the process exit code.
int RunWindowBench(int argc, char** argv, const char* command,
                   const std::function<void(const QTemporaryDir& folder)>& figures,
                   TBenchScreen screen = TBenchScreen::Any);

// Seconds to read the whole file into fresh memory with one plain read.
double PlainReadSeconds(const QString& fileName);
