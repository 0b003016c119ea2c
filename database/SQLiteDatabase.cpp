#include "database/SQLiteDatabase.h"

#include "database/DatabaseValues.h"

#include <QSqlError>

#include <cmath>

namespace {

// A text that sorts after every time and date text.
const QString AfterAll = QStringLiteral("~");

// The shortest text of a start bound: no text of the same instant is shorter,
// so every stored text at or after the bound sorts at or after it.
QString ShortestTimeText(const QString& full)
{
    // full is "HH:MM:SS.ffffff".
    QString text = full;
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (text.endsWith(QLatin1String(":00")) && text.size() == 8)
        text.chop(3);
    return text;
}

// The longest text of an end bound: a stored text of the same instant is a
// prefix of it, so sorts before it.
QString LongestTimeText(const QString& full)
{
    return full + QStringLiteral("000");
}

QString StartText(TDateTime value, QChar separator)
{
    const QString full = SqlDateTimeText(value, separator);
    const QString time = ShortestTimeText(full.mid(11));
    return time == QLatin1String("00:00") ? full.left(10) : full.left(11) + time;
}

bool OnDayZero(TDateTime value)
{
    return value >= 0 && value < 1;
}

} // namespace

TSQLiteTimeForm SQLiteTimeForm(const QString& storageClass, const QString& sample)
{
    TSQLiteTimeForm form;
    if (storageClass == QLatin1String("real")) {
        form.Kind = TSQLiteTimeForm::JulianDay;
    } else if (storageClass == QLatin1String("integer")) {
        form.Kind = TSQLiteTimeForm::UnixSeconds;
    } else {
        const QString text = sample.trimmed();
        if (text.size() >= 5 && text[2] == QLatin1Char(':'))
            form.Kind = TSQLiteTimeForm::TimeOfDayText;
        else if (text.size() > 10 && text[10] == QLatin1Char('T'))
            form.Separator = QLatin1Char('T');
    }
    return form;
}

TSQLiteBounds SQLiteTimeBounds(const TSQLiteTimeForm& form, TDateTime time1, TDateTime time2)
{
    TSQLiteBounds bounds;
    switch (form.Kind) {
    case TSQLiteTimeForm::DateTimeText:
        bounds.Time1 = StartText(time1, form.Separator);
        bounds.Time2 = LongestTimeText(SqlDateTimeText(time2, form.Separator));
        break;
    case TSQLiteTimeForm::TimeOfDayText:
        // A time of day lies on day 0: a bound on another day takes in all
        // of that day or none of it.
        bounds.Time1 = time1 < 0 ? QStringLiteral("") : OnDayZero(time1) ? ShortestTimeText(SqlTimeText(time1)) : AfterAll;
        bounds.Time2 = time2 < 0 ? QStringLiteral("") : OnDayZero(time2) ? LongestTimeText(SqlTimeText(time2)) : AfterAll;
        break;
    case TSQLiteTimeForm::JulianDay: {
        // A Julian day number carries no more than about 50 microseconds.
        const double millisecond = 1.0 / static_cast<double>(MSecsPerDay);
        bounds.Time1 = JulianDayFromDateTime(time1) - millisecond;
        bounds.Time2 = JulianDayFromDateTime(time2) + millisecond;
        bounds.Filter = true;
        break;
    }
    case TSQLiteTimeForm::UnixSeconds:
        bounds.Time1 = static_cast<qlonglong>(std::ceil(UnixSecondsFromDateTime(time1) - 1e-6));
        bounds.Time2 = static_cast<qlonglong>(std::floor(UnixSecondsFromDateTime(time2) + 1e-6));
        break;
    }
    return bounds;
}

TSQLiteDatabase::TSQLiteDatabase(const QString& fileName)
    : TQtSqlDatabase(QStringLiteral("QSQLITE"), fileName, QStringLiteral("QSQLITE_OPEN_READONLY"), {})
{
}

bool TSQLiteDatabase::IsSystemTable(const QString& name) const
{
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

TQtSqlDatabase::TRowRules TSQLiteDatabase::BindTimes(QSqlQuery& query, const QString& quotedTable,
                                                     const QString& quotedField, TDateTime time1, TDateTime time2)
{
    QSqlQuery sample(Database());
    if (!sample.exec(QStringLiteral("select typeof(%1), %1 from %2 where %1 is not null limit 1")
                         .arg(quotedField, quotedTable)))
        Fail(sample.lastError());
    TSQLiteTimeForm form;
    if (sample.next())
        form = SQLiteTimeForm(sample.value(0).toString(), sample.value(1).toString());
    const TSQLiteBounds bounds = SQLiteTimeBounds(form, time1, time2);
    query.bindValue(QStringLiteral(":time1"), bounds.Time1);
    query.bindValue(QStringLiteral(":time2"), bounds.Time2);
    return {true, bounds.Filter};
}
