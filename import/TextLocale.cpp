#include "import/TextLocale.h"

#include <algorithm>

namespace {

bool IsFormatLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// The separator that follows the first field of a date or time format: the
// first plain ASCII sign after the field's letters, before the next field.
// Quoted text, spaces and non-ASCII marks (such as direction marks) are no
// separator; fallback is used when none is found.
char FormatSeparator(const QString& format, QStringView fieldLetters, char fallback)
{
    qsizetype i = 0;
    while (i < format.size() && !fieldLetters.contains(format[i]))
        ++i;
    while (i < format.size() && fieldLetters.contains(format[i]))
        ++i;
    for (; i < format.size(); ++i) {
        const QChar c = format[i];
        if (IsFormatLetter(c) || c == u'\'')
            break;
        if (c.unicode() > u' ' && c.unicode() < 0x7F)
            return static_cast<char>(c.unicode());
    }
    return fallback;
}

std::array<char, 3> DateOrderOf(const QString& format)
{
    std::array<char, 3> order{};
    int found = 0;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted || (c != u'd' && c != u'M' && c != u'y'))
            continue;
        const char letter = static_cast<char>(c.unicode());
        if (std::find(order.begin(), order.begin() + found, letter) == order.begin() + found)
            order[found++] = letter;
        if (found == 3)
            return order;
    }
    return {'M', 'd', 'y'};
}

char SingleAsciiChar(const QString& text, char fallback)
{
    return text.size() == 1 && text[0].unicode() < 0x80 ? static_cast<char>(text[0].unicode()) : fallback;
}

} // namespace

TTextLocale::TTextLocale(const QLocale& locale, int currentYear)
    : CurrentYear(currentYear)
{
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    DateOrder = DateOrderOf(dateFormat);
    DateSeparator = FormatSeparator(dateFormat, u"dMy", '/');
    TimeSeparator = FormatSeparator(locale.timeFormat(QLocale::ShortFormat), u"hH", ':');
    DecimalSeparator = SingleAsciiChar(locale.decimalPoint(), '.');
    AmText = locale.amText().toStdString();
    PmText = locale.pmText().toStdString();
}
