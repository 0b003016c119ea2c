#include "derived/FormulaText.h"

namespace {

bool IsNameStart(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
           || c == QLatin1Char('_');
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsNameChar(QChar c)
{
    return IsNameStart(c) || IsDigit(c);
}

// The end of the number that starts at i, its exponent included.
int NumberEnd(const QString& text, int i)
{
    while (i < text.size() && (IsDigit(text[i]) || text[i] == QLatin1Char('.')))
        ++i;
    if (i < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < text.size() && IsDigit(text[j])) {
            i = j;
            while (i < text.size() && IsDigit(text[i]))
                ++i;
        }
    }
    return i;
}

} // namespace

std::optional<TFormulaName> NextFormulaName(const QString& text, int from)
{
    int i = from;
    while (i < text.size()) {
        const QChar c = text[i];
        if (IsDigit(c) || (c == QLatin1Char('.') && i + 1 < text.size() && IsDigit(text[i + 1]))) {
            i = NumberEnd(text, i);
        } else if (IsNameStart(c)) {
            int end = i;
            while (end < text.size() && IsNameChar(text[end]))
                ++end;
            int after = end;
            while (after < text.size() && text[after] == QLatin1Char(' '))
                ++after;
            const bool call = after < text.size() && text[after] == QLatin1Char('(');
            return TFormulaName{i, end, call ? after : -1};
        } else {
            ++i;
        }
    }
    return std::nullopt;
}

QString RenameInFormula(const QString& text, const std::function<std::optional<QString>(const QString&)>& rename)
{
    QString out;
    int copied = 0;
    for (auto name = NextFormulaName(text, 0); name; name = NextFormulaName(text, name->End)) {
        if (name->Open >= 0)
            continue;
        if (const auto renamed = rename(text.mid(name->Start, name->End - name->Start))) {
            out += QStringView(text).mid(copied, name->Start - copied);
            out += *renamed;
            copied = name->End;
        }
    }
    out += QStringView(text).mid(copied);
    return out;
}
