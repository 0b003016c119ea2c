#include "database/ConnectionString.h"

namespace {

bool IsBlank(QChar c)
{
    return c.isSpace();
}

// Reads a value enclosed by open..close from text at pos (on the opening
// character); a doubled closing character stands for one.
QString ReadEnclosed(const QString& text, int& pos, QChar close)
{
    QString value;
    ++pos;
    while (pos < text.size()) {
        const QChar c = text[pos++];
        if (c == close) {
            if (pos < text.size() && text[pos] == close) {
                value += close;
                ++pos;
                continue;
            }
            return value;
        }
        value += c;
    }
    return value;
}

} // namespace

TConnectionString::TConnectionString(const QString& text)
{
    int pos = 0;
    const int size = static_cast<int>(text.size());
    while (pos < size) {
        const int equals = static_cast<int>(text.indexOf(QLatin1Char('='), pos));
        const int semicolon = static_cast<int>(text.indexOf(QLatin1Char(';'), pos));
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            // A piece without "=": nothing to keep but its end.
            if (semicolon < 0)
                break;
            pos = semicolon + 1;
            continue;
        }
        TPair pair;
        pair.Key = text.mid(pos, equals - pos).trimmed();
        pos = equals + 1;
        while (pos < size && IsBlank(text[pos]))
            ++pos;
        if (pos < size && (text[pos] == QLatin1Char('"') || text[pos] == QLatin1Char('\''))) {
            pair.Value = ReadEnclosed(text, pos, text[pos]);
        } else if (pos < size && text[pos] == QLatin1Char('{')) {
            pair.Value = ReadEnclosed(text, pos, QLatin1Char('}'));
            pair.Braced = true;
        } else {
            int end = static_cast<int>(text.indexOf(QLatin1Char(';'), pos));
            if (end < 0)
                end = size;
            pair.Value = text.mid(pos, end - pos).trimmed();
            pos = end;
        }
        // Whatever follows an enclosed value up to the separator is ignored.
        const int end = static_cast<int>(text.indexOf(QLatin1Char(';'), pos));
        pos = end < 0 ? size : end + 1;
        if (!pair.Key.isEmpty())
            mPairs.append(pair);
    }
}

bool TConnectionString::Has(const QString& key) const
{
    for (const TPair& pair : mPairs) {
        if (pair.Key.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString TConnectionString::Value(std::initializer_list<const char*> keys) const
{
    for (const char* key : keys) {
        for (const TPair& pair : mPairs) {
            if (pair.Key.compare(QLatin1String(key), Qt::CaseInsensitive) == 0)
                return pair.Value;
        }
    }
    return QString();
}

QString OdbcValue(const QString& value, bool forceBraces)
{
    const bool needsBraces = forceBraces || value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{'))
                             || value.contains(QLatin1Char('}')) || value != value.trimmed();
    if (!needsBraces)
        return value;
    QString escaped = value;
    escaped.replace(QLatin1String("}"), QLatin1String("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}
