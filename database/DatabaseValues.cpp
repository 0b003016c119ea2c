#include "database/DatabaseValues.h"

#include "common/Digits.h"
#include "common/Exception.h"

#include <fast_float/fast_float.h>

#include <cmath>

namespace {

constexpr double MicrosPerDay = 86400e6;
// SQLite's Julian day number of 30 December 1899, 00:00.
constexpr double JulianDayOfEpoch = 2415018.5;

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0'))
        text.remove_suffix(1);
    return text;
}

// "HH:MM[:SS[.f]]" from pos to a zone or the end; microseconds of the day.
bool ParseTimeOfDay(std::string_view text, std::size_t pos, qint64& micros)
{
    int hour = 0, minute = 0, second = 0;
    if (!ReadDigits(text, pos, 2, hour) || pos + 2 >= text.size() || text[pos + 2] != ':' || !ReadDigits(text, pos + 3, 2, minute))
        return false;
    pos += 5;
    qint64 fraction = 0;
    if (pos < text.size() && text[pos] == ':') {
        if (!ReadDigits(text, pos + 1, 2, second))
            return false;
        pos += 3;
        if (pos < text.size() && text[pos] == '.') {
            ++pos;
            qint64 scale = 100000;
            const std::size_t first = pos;
            while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
                fraction += (text[pos] - '0') * scale;
                scale /= 10;
                ++pos;
            }
            if (pos == first)
                return false;
        }
    }
    // What may follow: a zone, which the wall-clock time does not need.
    if (pos < text.size()) {
        const char c = text[pos];
        if (c != 'Z' && c != 'z' && c != '+' && c != '-')
            return false;
    }
    if (hour > 24 || minute > 59 || second > 60 || (hour == 24 && (minute > 0 || second > 0 || fraction > 0)))
        return false;
    micros = ((hour * 60LL + minute) * 60 + second) * 1000000 + fraction;
    return true;
}

QString Quoted(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The whole days and the microseconds of the day of a value.
void Split(TDateTime value, qint64& days, qint64& micros)
{
    const double whole = std::trunc(value);
    micros = std::llround(std::fabs(value - whole) * MicrosPerDay);
    days = static_cast<qint64>(whole);
    if (micros >= static_cast<qint64>(MicrosPerDay)) {
        micros -= static_cast<qint64>(MicrosPerDay);
        ++days;
    }
}

QString TimeText(qint64 micros)
{
    const qint64 seconds = micros / 1000000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(micros % 1000000, 6, 10, QLatin1Char('0'));
}

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

} // namespace

bool ParseSqlDateTime(std::string_view text, TDateTime& value)
{
    text = Trimmed(text);
    qint64 micros = 0;
    if (text.size() >= 5 && text[2] == ':') {
        if (!ParseTimeOfDay(text, 0, micros))
            return false;
        value = static_cast<double>(micros) / MicrosPerDay;
        return true;
    }
    int year = 0, month = 0, day = 0;
    if (!ReadDigits(text, 0, 4, year) || text.size() < 10 || text[4] != '-' || !ReadDigits(text, 5, 2, month) || text[7] != '-'
        || !ReadDigits(text, 8, 2, day))
        return false;
    const QDate date(year, month, day);
    if (!date.isValid())
        return false;
    if (text.size() > 10) {
        const char separator = text[10];
        if ((separator != ' ' && separator != 'T') || !ParseTimeOfDay(text, 11, micros))
            return false;
    }
    value = CombineDateAndTime(EncodeDate(date), static_cast<double>(micros) / MicrosPerDay);
    return true;
}

bool ParseSqlNumber(std::string_view text, double& value)
{
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto result = fast_float::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

TDateTime TimeFromText(std::string_view text, const QString& field)
{
    TDateTime value = 0;
    if (!ParseSqlDateTime(text, value))
        throw Exception(QStringLiteral("'%1' is not a valid date and time (field %2).").arg(Quoted(text), field));
    return value;
}

double NumberFromText(std::string_view text, const QString& field)
{
    double value = 0;
    if (!ParseSqlNumber(text, value))
        throw Exception(QStringLiteral("'%1' is not a valid floating point value (field %2).").arg(Quoted(text), field));
    return value;
}

void ThrowUnreadable(const QString& field, const QString& kind, bool asTime)
{
    throw Exception(QStringLiteral("The field %1 holds a value of type %2, which cannot be read as %3.")
                        .arg(field, kind, asTime ? QStringLiteral("a date and time") : QStringLiteral("a number")));
}

int FieldPosition(const QStringList& names, const QString& name)
{
    int index = static_cast<int>(names.indexOf(name));
    for (int i = 0; i < names.size() && index < 0; ++i) {
        if (names[i].compare(name, Qt::CaseInsensitive) == 0)
            index = i;
    }
    if (index < 0)
        throw Exception(QStringLiteral("Field '%1' not found.").arg(name));
    return index;
}

QString SqlDateTimeText(TDateTime value, QChar separator)
{
    qint64 days = 0, micros = 0;
    Split(value, days, micros);
    return DateTimeEpoch().addDays(days).toString(QStringLiteral("yyyy-MM-dd")) + separator + TimeText(micros);
}

QString SqlTimeText(TDateTime value)
{
    qint64 days = 0, micros = 0;
    Split(value, days, micros);
    return TimeText(micros);
}

QString SqlStartText(TDateTime value, QChar separator)
{
    const QString full = SqlDateTimeText(value, separator);
    const QString time = ShortestTimeText(full.mid(11));
    return time == QLatin1String("00:00") ? full.left(10) : full.left(11) + time;
}

QString SqlEndText(TDateTime value, QChar separator)
{
    return LongestTimeText(SqlDateTimeText(value, separator));
}

QString SqlStartTimeText(TDateTime value)
{
    return ShortestTimeText(SqlTimeText(value));
}

QString SqlEndTimeText(TDateTime value)
{
    return LongestTimeText(SqlTimeText(value));
}

double JulianDayFromDateTime(TDateTime value)
{
    // The fraction counts forward also before day 0.
    const double whole = std::trunc(value);
    return whole + std::fabs(value - whole) + JulianDayOfEpoch;
}

TDateTime DateTimeFromJulianDay(double julianDay)
{
    const double days = julianDay - JulianDayOfEpoch;
    const double whole = std::floor(days);
    const double ms = std::round((days - whole) * static_cast<double>(MSecsPerDay));
    return CombineDateAndTime(whole, ms / static_cast<double>(MSecsPerDay));
}

double UnixSecondsFromDateTime(TDateTime value)
{
    qint64 days = 0, micros = 0;
    Split(value, days, micros);
    const QDateTime local(DateTimeEpoch().addDays(days), QTime::fromMSecsSinceStartOfDay(static_cast<int>(micros / 1000)),
                          Qt::LocalTime);
    return static_cast<double>(local.toMSecsSinceEpoch()) / 1000.0 + static_cast<double>(micros % 1000) / 1e6;
}

TDateTime DateTimeFromUnixSeconds(double seconds)
{
    return DateTimeFromQDateTime(QDateTime::fromMSecsSinceEpoch(std::llround(seconds * 1000.0), Qt::LocalTime));
}
