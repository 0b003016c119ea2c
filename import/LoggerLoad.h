#pragma once

#include "common/LoadProgress.h"
#include "import/LoadWindow.h"
#include "logger/LoggerFile.h"

#include <QString>
#include <QStringList>

#include <vector>

class TFastLineSeries;

// The titles of the series of channels: the channel's name, with its group's
// name where another channel of the file has the same name, and its unit:
// "speed (engine) [km/h]".
QStringList LoggerSeriesTitles(const std::vector<TLoggerNode>& nodes, const std::vector<int>& channels);

// Loads the samples of channels inside the window into series that are
// already on the chart, one series per channel in the same order.
void LoadLoggerChannels(TLoggerFile& file, const std::vector<int>& channels, const TLoggerTime& time,
                        const TLoadWindow& window, const std::vector<TFastLineSeries*>& series,
                        TLoadProgress* progress = nullptr);
