#pragma once

#include "common/LoadProgress.h"
#include "import/LoadWindow.h"
#include "import/TextLocale.h"

#include <QString>

#include <vector>

class TFastLineSeries;

// Loads a delimited text file into series that are already on the chart: the
// lines whose time lies in the window give each series the points of the
// field whose index is the series' tag (field number minus 1). timeField
// counts from 1.
//
// The points read before an error (the file cannot be opened, a line is too
// short) are added to their series before the error goes on to the caller. A
// load cancelled through `progress` adds no points and throws LoadCancelled.
void LoadTextFile(const QString& fileName, char delimiter, int timeField, const TLoadWindow& window,
                  const TTextLocale& locale, const std::vector<TFastLineSeries*>& series,
                  TLoadProgress* progress = nullptr);
