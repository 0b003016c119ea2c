#pragma once

#include "common/DateTime.h"
#include "common/LoadProgress.h"

#include <QLocale>
#include <QString>

class TChart;

// Writes the visible data series of the chart between `from` and `to` (both
// ends included) as a delimited text file that the text import reads back
// with the same regional settings: a header line ("Time" and each series'
// title), then one line per distinct time to the millisecond in ascending
// order. The first field is the date and time with milliseconds (the date in
// the order and with the separator of the short date format, a four-digit
// year, the date separator again and the time in 24 hours, such as
// "03/05/2024/07:00:01.250" in the United States), then one field per series: its value with the
// locale's decimal separator, or nothing where the series has no sample at
// that time. A series with several samples at one time takes a line for each.
// Fields are separated by commas, or by tabs where the decimal separator is a
// comma.
//
// The file is replaced only once complete; `progress` hears of the points
// written, and a cancel there throws LoadCancelled and leaves no file.
void ExportChartData(const TChart& chart, TDateTime from, TDateTime to, const QLocale& locale,
                     const QString& fileName, TLoadProgress* progress = nullptr);

// The field separator ExportChartData uses with these regional settings.
char ExportDelimiter(const QLocale& locale);
