#pragma once

#include "common/LoadWindow.h"

#include <QStringList>

#include <vector>

class TDatabase;
class TFastLineSeries;

// Loads the records of a table whose time field lies in the window into
// series that are already on the chart: every record adds one point to every
// series, (time, value of the series' field), fields[k] belonging to
// series[k]. NULL reads as 0. Without the date a time counts only its time of
// day.
//
// The points read before an error (a value that cannot be read, a failing
// query) are added to their series before the error goes on to the caller.
void LoadDatabaseTable(TDatabase& database, const QString& table, const QString& timeField, const TLoadWindow& window,
                       bool dateChecked, const QStringList& fields, const std::vector<TFastLineSeries*>& series);
