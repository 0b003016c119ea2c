#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// An export asked for on the command line:
//   plotreel --export-clip OUT.mp4 [--from HH:MM:SS.zzz] [--to HH:MM:SS.zzz] VIDEO
//   plotreel --export-picture OUT.png|.svg|.pdf [--at HH:MM:SS.zzz] VIDEO
// Times are positions in the video.
struct TExportCommand {
    enum class TKind { Clip, Picture };
    TKind Kind = TKind::Clip;
    QString Output;
    QString Video;
    std::optional<double> From;
    std::optional<double> To;
    std::optional<double> At;
};

// True when the arguments (the program's name first) ask for an export or
// for the usage: those run without a window.
bool IsWindowlessCommand(const QStringList& arguments);
// Reads an export command; throws an Exception that says what is wrong.
TExportCommand ParseExportCommand(const QStringList& arguments);
// A position written as HH:MM:SS, HH:MM:SS.zzz, MM:SS(.zzz) or seconds.
std::optional<double> ParseVideoPosition(const QString& text);

// Runs the export with the video's companion file, without a window.
// Throws an Exception on failure.
void RunExportCommand(const TExportCommand& command);

// Runs a windowless command line: the usage for --help, or an export.
// Returns the exit status: 0 on success, otherwise 1 or 2 (a usage error)
// after a message on standard error.
int RunWindowlessCommand(const QStringList& arguments);

// What `plotreel --help` prints.
QString CommandLineUsage();
