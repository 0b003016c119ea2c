#pragma once

#include <QString>

#include <functional>

class QTemporaryDir;

// Runs the figures of a sub-command that shows the main window: checks for a
// display, makes the application and a temporary folder, and turns an error
// into a message and exit code 1. Returns the process exit code.
int RunWindowBench(int argc, char** argv, const char* command,
                   const std::function<void(const QTemporaryDir& folder)>& figures);

// Seconds to read the whole file into fresh memory with one plain read.
double PlainReadSeconds(const QString& fileName);
