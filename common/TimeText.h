#pragma once

#include "common/DateTime.h"

#include <QLocale>
#include <QString>

// The locale's long time format without a time zone: hours, minutes and
// seconds as the regional settings write them.
QString LongTimeFormat(const QLocale& locale);
// The time of day of a value in that format; the date is not shown.
QString LongTimeText(TDateTime value, const QLocale& locale);
