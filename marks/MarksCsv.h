#pragma once

#include "common/DateTime.h"
#include "marks/Mark.h"
#include "marks/MarkCategories.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Marks as a CSV table (RFC 4180: UTF-8, a header, fields with commas,
// quotes or line breaks quoted, quotes doubled, lines ended by CR LF):
//   Time,Seconds,Length,Category,Note
// Time is the chart's clock (with the date where the chart has one), Seconds
// the time from the video's start and Length the span's length, both to the
// microsecond (empty for a point in time), Category the category's name.
QByteArray MarksCsvText(const std::vector<TMark>& marks, const TMarkCategories& categories, TDateTime startTime);

// Reads such a table back. Columns go by the header's names, in any order;
// Seconds, or where it is empty Time, gives the mark's time; a category is a
// name or a number from 1 to 9. Any row that cannot be read throws an
// Exception naming `fileName` and the row's line, and nothing is returned.
std::vector<TMark> ParseMarksCsv(const QByteArray& text, const TMarkCategories& categories, TDateTime startTime,
                                 const QString& fileName);

// Writes the table atomically; reads one. Both throw an Exception on failure.
void SaveMarksCsv(const QString& fileName, const std::vector<TMark>& marks, const TMarkCategories& categories,
                  TDateTime startTime);
std::vector<TMark> LoadMarksCsv(const QString& fileName, const TMarkCategories& categories, TDateTime startTime);

// A time on the chart's clock as the marks show it: "hh:mm:ss.zzz", with
// "yyyy-MM-dd " before it where withDate.
QString MarkClockText(TDateTime chartTime, bool withDate);
