#include "derived/DerivedSeries.h"

#include "derived/FormulaText.h"

#include <algorithm>
#include <optional>

QString DerivedSeriesTitle(const QString& title, const QString& unit)
{
    return unit.trimmed().isEmpty() ? title : QStringLiteral("%1 [%2]").arg(title, unit.trimmed());
}

namespace {

// The position of the series with this number, or -1.
int PositionOf(quint64 serial, const std::vector<TSeriesEntry>& series)
{
    const auto found = std::find_if(series.begin(), series.end(), [&](const TSeriesEntry& s) { return s.Serial == serial; });
    return serial == 0 || found == series.end() ? -1 : static_cast<int>(found - series.begin());
}

const TDerivedInput* InputNamed(const TDerivedSeries& derived, const QString& name)
{
    const auto found = std::find_if(derived.Inputs.begin(), derived.Inputs.end(),
                                    [&](const TDerivedInput& input) { return input.Name == name; });
    return found == derived.Inputs.end() ? nullptr : &*found;
}

QString PositionName(int position)
{
    return QStringLiteral("a%1").arg(position + 1);
}

// The name an input no longer there takes, so that no series of today
// answers to it: the formula then says which name it does not know.
QString DeletedName(const QString& name)
{
    const QString prefix = QStringLiteral("deleted_");
    return name.startsWith(prefix) ? name : prefix + name;
}

} // namespace

TDerivedSeries MakeDerivedSeries(const QString& formula, const QString& title, const QString& unit,
                                 const std::vector<TSeriesName>& names, const std::vector<TSeriesEntry>& series)
{
    TDerivedSeries derived{formula, title, unit, {}};
    for (auto name = NextFormulaName(formula, 0); name; name = NextFormulaName(formula, name->End)) {
        const QString text = formula.mid(name->Start, name->End - name->Start);
        if (name->Open >= 0 || InputNamed(derived, text))
            continue;
        const auto found = std::find_if(names.begin(), names.end(), [&](const TSeriesName& n) { return n.Name == text; });
        if (found == names.end())
            continue;
        const TSeriesEntry& entry = series.at(static_cast<std::size_t>(found->Series));
        derived.Inputs.push_back({text, entry.Serial, entry.Title});
    }
    return derived;
}

QString CurrentFormula(const TDerivedSeries& derived, const std::vector<TSeriesEntry>& series, QStringList* missing)
{
    QStringList titles;
    for (const TSeriesEntry& entry : series)
        titles << entry.Title;
    const std::vector<TSeriesName> names = SeriesNames(titles);
    for (const TDerivedInput& input : derived.Inputs)
        if (PositionOf(input.Serial, series) < 0 && missing)
            *missing << QStringLiteral("The series \"%1\", which the formula names %2, was deleted.")
                            .arg(input.Title, input.Name);
    return RenameInFormula(derived.Formula, [&](const QString& name) -> std::optional<QString> {
        const TDerivedInput* input = InputNamed(derived, name);
        if (!input)
            return std::nullopt;
        const int position = PositionOf(input->Serial, series);
        if (position < 0)
            return DeletedName(name);
        const bool byTitle = std::any_of(names.begin(), names.end(), [&](const TSeriesName& n) {
            return n.Name == name && n.Series == position;
        });
        return byTitle ? name : PositionName(position);
    });
}
