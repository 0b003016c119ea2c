#pragma once

#include "marks/Mark.h"

#include <QString>

#include <vector>

// The marks in a video's arrangement file (JSON, beside the video), in a
// section of their own that the rest of the file leaves alone.

// The marks the file holds; none when there is no file or it has no marks.
// Throws an Exception naming the file when it cannot be read or its marks
// are damaged.
std::vector<TMark> LoadMarksSection(const QString& arrangementFile);
// Puts the marks into the file, keeping everything else it holds, written
// atomically; with no marks, takes the section out (and removes a file left
// with nothing else in it). Throws an Exception on failure.
void SaveMarksSection(const QString& arrangementFile, const std::vector<TMark>& marks);
