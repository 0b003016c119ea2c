#pragma once

#include "common/DateTime.h"

#include <string_view>

// A date-formatted number of a workbook as a TDateTime. In the 1900 date
// system serial 1 is 1 January 1900 and days before 1 March 1900 count the
// year's non-existent 29 February; a value below 1 is a time of day on day 0.
// In the 1904 system serial 0 is 1 January 1904; a time of day below 1 whose
// format shows no date stays on day 0 there as well.
TDateTime ExcelSerialToDateTime(double serial, bool date1904, bool timeOfDay);

// "YYYY-MM-DD", "YYYY-MM-DDTHH:MM:SS[.fff]" or "HH:MM:SS[.fff]" (on day 0),
// as OpenDocument and Excel write dates as text; false when text is none.
bool ParseIsoDateTime(std::string_view text, TDateTime& value);

// An OpenDocument time value, an ISO 8601 duration such as "PT08H30M00S" or
// "-P1DT2H", in days; false when text is none.
bool ParseIsoDuration(std::string_view text, double& days);
