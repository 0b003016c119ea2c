#include "common/TimeText.h"

QString LongTimeFormat(const QLocale& locale)
{
    // Qt's long format ends with the zone ("t"); a time of day has none.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return result.trimmed();
}

QString LongTimeText(TDateTime value, const QLocale& locale)
{
    return locale.toString(TimeOfDay(value), LongTimeFormat(locale));
}
