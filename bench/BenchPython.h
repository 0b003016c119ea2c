#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

#include <optional>

// Runs one of the benchmark's Python scripts (in bench/) with /usr/bin/python3,
// the yardstick of a figure, and returns what it printed. When it cannot be
// run or fails, says on stderr that the figure was skipped and why (naming
// the Debian package it needs) and returns nothing.
std::optional<QByteArray> PythonScriptOutput(
    const char* figure, const char* script, const QStringList& arguments, const char* package,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
