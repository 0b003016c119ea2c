#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A file that an export reads from or that belongs to the open video, and
// what it is to the user ("the video", "the chart data file", ...).
struct TExportInput {
    QString FileName;
    QString Role;
};

// The files of an open video that an export must never replace: the video,
// its chart data file, its arrangement file and the videos added to it.
QList<TExportInput> VideoInputs(const QString& video, const QStringList& addedVideos);

// Throws an Exception naming the file when `target` is one of `inputs`: the
// same file by device and inode, so that links and other spellings of a path
// are caught too. A target that does not exist yet is no input.
void RefuseInputAsTarget(const QString& target, const QList<TExportInput>& inputs);
