#include "derived/ChartFormulas.h"

#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/SeriesTitle.h"
#include "common/PrefaultMemory.h"
#include "common/WaitCursor.h"
#include "derived/Formula.h"
#include "derived/FormulaDialog.h"
#include "derived/FormulaText.h"

#include <QJsonObject>

TChartFormulas::TChartFormulas(TChart& chart, QWidget* dialogParent) : mChart(chart), mDialogParent(dialogParent)
{
}

TChartFormulas::~TChartFormulas() = default;

TfrmFormula& TChartFormulas::EnsureDialog()
{
    if (!mDialog)
        mDialog = std::make_unique<TfrmFormula>(mDialogParent);
    return *mDialog;
}

std::vector<TSeriesEntry> TChartFormulas::Entries() const
{
    std::vector<TSeriesEntry> entries;
    for (int i = 1; i < mChart.SeriesCount(); ++i) {
        const TFastLineSeries* series = mChart.LineSeries(i);
        entries.push_back({series->Serial(), TitleToDisplay(series->Title())});
    }
    return entries;
}

namespace {

QStringList TitlesOf(const std::vector<TSeriesEntry>& entries)
{
    QStringList titles;
    for (const TSeriesEntry& entry : entries)
        titles << entry.Title;
    return titles;
}

} // namespace

void TChartFormulas::Compute(const QString& text, const std::vector<TSeriesName>& names, TFastLineSeries& series)
{
    WaitCursor wait;
    const TFormula formula(text, names);
    std::vector<TPointsView> views(static_cast<std::size_t>(mChart.SeriesCount() - 1));
    for (std::size_t k = 0; k < views.size(); ++k) {
        const TFastLineSeries* input = mChart.LineSeries(static_cast<int>(k) + 1);
        views[k] = {input->Points(), static_cast<std::size_t>(input->Count())};
    }
    ComputeSeries(formula, views, series);
}

void ComputeSeries(const TFormula& formula, const std::vector<TPointsView>& series, TFastLineSeries& into)
{
    // The result has at most a point for each of the first series' points.
    const TMemorySpan room = into.ReservePoints(series.at(static_cast<std::size_t>(formula.Inputs().front())).Count);
    AdviseHugePages(room);
    const TMemoryPrefaulter prefaulter({room});
    formula.Evaluate(series, std::nullopt,
                     [&](const TChartPoint* points, std::size_t count) { into.AddPoints(points, count); });
}

bool TChartFormulas::NewSeries()
{
    TfrmFormula& dialog = EnsureDialog();
    const std::vector<TSeriesEntry> entries = Entries();
    if (!dialog.Run(TitlesOf(entries), dialog.Formula(), QString(), QString(), {}, false))
        return false;
    const QString title = DerivedSeriesTitle(dialog.Title(), dialog.Unit());
    auto series = CreateChartSeries(mChart.SeriesCount(), TitleFromDisplay(title));
    Compute(dialog.Formula(), dialog.Names(), *series);
    const TChartReplotHold hold(mChart);
    const quint64 serial = mChart.AddSeries(std::move(series))->Serial();
    mDerived[serial] = MakeDerivedSeries(dialog.Formula(), dialog.Title(), dialog.Unit(), dialog.Names(), entries);
    return true;
}

bool TChartFormulas::EditSeries(int index)
{
    if (!IsDerived(index))
        return false;
    TFastLineSeries& series = *mChart.LineSeries(index);
    const TDerivedSeries& derived = mDerived.at(series.Serial());
    const std::vector<TSeriesEntry> entries = Entries();
    QStringList missing;
    const QString formula = CurrentFormula(derived, entries, &missing);
    if (!missing.isEmpty())
        missing.prepend(QStringLiteral("\"%1\" cannot be made again from its formula as it stands:")
                            .arg(TitleToDisplay(series.Title())));
    TfrmFormula& dialog = EnsureDialog();
    if (!dialog.Run(TitlesOf(entries), formula, derived.Title, derived.Unit, missing, true))
        return false;
    // Computed aside first: a formula that fails leaves the series as it was.
    TFastLineSeries computed;
    Compute(dialog.Formula(), dialog.Names(), computed);
    const TChartReplotHold hold(mChart);
    series.ClearPoints();
    series.ReservePoints(static_cast<std::size_t>(computed.Count()));
    series.AddPoints(computed.Points(), static_cast<std::size_t>(computed.Count()));
    series.SetTitle(TitleFromDisplay(DerivedSeriesTitle(dialog.Title(), dialog.Unit())));
    mDerived[series.Serial()] =
        MakeDerivedSeries(dialog.Formula(), dialog.Title(), dialog.Unit(), dialog.Names(), entries);
    return true;
}

bool TChartFormulas::IsDerived(int index) const
{
    const TFastLineSeries* series = index >= 1 && index < mChart.SeriesCount() ? mChart.LineSeries(index) : nullptr;
    return series && mDerived.count(series->Serial()) > 0;
}

QString TChartFormulas::Describe(int index) const
{
    if (!IsDerived(index))
        return {};
    const TDerivedSeries& derived = mDerived.at(mChart.LineSeries(index)->Serial());
    QStringList missing;
    const QString formula = CurrentFormula(derived, Entries(), &missing);
    missing.prepend(QStringLiteral("= %1").arg(formula));
    return missing.join(QLatin1Char('\n'));
}

QJsonArray TChartFormulas::Saved() const
{
    const std::vector<TSeriesEntry> entries = Entries();
    QJsonArray saved;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const auto found = mDerived.find(entries[k].Serial);
        if (found == mDerived.end())
            continue;
        const TDerivedSeries& derived = found->second;
        QJsonObject entry;
        entry.insert(QStringLiteral("series"), static_cast<int>(k) + 1);
        entry.insert(QStringLiteral("seriesTitle"), entries[k].Title);
        entry.insert(QStringLiteral("formula"), CurrentFormula(derived, entries, nullptr));
        entry.insert(QStringLiteral("title"), derived.Title);
        entry.insert(QStringLiteral("unit"), derived.Unit);
        QJsonObject deleted;
        for (const TDerivedInput& input : derived.Inputs)
            if (std::none_of(entries.begin(), entries.end(),
                             [&](const TSeriesEntry& e) { return input.Serial != 0 && e.Serial == input.Serial; }))
                deleted.insert(input.Name.startsWith(QLatin1String("deleted_")) ? input.Name
                                                                               : QStringLiteral("deleted_") + input.Name,
                               input.Title);
        if (!deleted.isEmpty())
            entry.insert(QStringLiteral("deleted"), deleted);
        saved.append(entry);
    }
    return saved;
}

void TChartFormulas::Restore(const QJsonArray& saved)
{
    const std::vector<TSeriesEntry> entries = Entries();
    const std::vector<TSeriesName> names = SeriesNames(TitlesOf(entries));
    for (const QJsonValue& value : saved) {
        const QJsonObject entry = value.toObject();
        const int position = entry.value(QStringLiteral("series")).toInt(0);
        if (position < 1 || position > static_cast<int>(entries.size())
            || entries[static_cast<std::size_t>(position - 1)].Title != entry.value(QStringLiteral("seriesTitle")).toString())
            continue;
        TDerivedSeries derived;
        derived.Formula = entry.value(QStringLiteral("formula")).toString();
        derived.Title = entry.value(QStringLiteral("title")).toString();
        derived.Unit = entry.value(QStringLiteral("unit")).toString();
        const QJsonObject deleted = entry.value(QStringLiteral("deleted")).toObject();
        // The names are those of the series as the file holds them, or of
        // series deleted before the save.
        for (auto name = NextFormulaName(derived.Formula, 0); name; name = NextFormulaName(derived.Formula, name->End)) {
            const QString text = derived.Formula.mid(name->Start, name->End - name->Start);
            if (name->Open >= 0 || std::any_of(derived.Inputs.begin(), derived.Inputs.end(),
                                               [&](const TDerivedInput& i) { return i.Name == text; }))
                continue;
            const auto found = std::find_if(names.begin(), names.end(), [&](const TSeriesName& n) { return n.Name == text; });
            if (found != names.end())
                derived.Inputs.push_back({text, entries[static_cast<std::size_t>(found->Series)].Serial,
                                          entries[static_cast<std::size_t>(found->Series)].Title});
            else if (deleted.contains(text))
                derived.Inputs.push_back({text, 0, deleted.value(text).toString()});
        }
        mDerived[entries[static_cast<std::size_t>(position - 1)].Serial] = derived;
    }
}
