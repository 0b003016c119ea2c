#include "derived/SeriesNames.h"

#include <QHash>
#include <QRegularExpression>

#include <array>

namespace {

const QRegularExpression& PlainIdentifier()
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    return pattern;
}

// Names of the form the positions take, which a title must not take from
// another series.
const QRegularExpression& PositionName()
{
    static const QRegularExpression pattern(QStringLiteral("^a[0-9]+$"));
    return pattern;
}

} // namespace

bool IsFormulaFunction(const QString& name)
{
    static const std::array<const char*, 34> functions = {
        "abs", "sqrt", "exp", "log", "ln", "log2", "log10", "sin", "cos", "tan", "asin", "acos",
        "atan", "sinh", "cosh", "tanh", "asinh", "acosh", "atanh", "sign", "rint", "min", "max",
        "sum", "avg", "if", "ddt", "integral", "mean", "rms", "shift", "cfc", "_pi", "_e"};
    for (const char* function : functions)
        if (name == QLatin1String(function))
            return true;
    return false;
}

std::vector<TSeriesName> SeriesNames(const QStringList& titles)
{
    std::vector<TSeriesName> names;
    for (int i = 0; i < titles.size(); ++i)
        names.push_back({QStringLiteral("a%1").arg(i + 1), i});
    QHash<QString, int> uses;
    for (const QString& title : titles)
        ++uses[title];
    for (int i = 0; i < titles.size(); ++i) {
        const QString& title = titles[i];
        if (uses.value(title) == 1 && PlainIdentifier().match(title).hasMatch()
            && !PositionName().match(title).hasMatch() && !IsFormulaFunction(title))
            names.push_back({title, i});
    }
    return names;
}
