#pragma once

#include <QString>

// Whether the chart of a video is shown with one lane per series, kept in the
// program's settings under the video's path.
bool LanesChosen(const QString& videoFileName);
void RememberLanes(const QString& videoFileName, bool lanes);
