#pragma once

#include "derived/DerivedSeries.h"
#include "derived/PointsView.h"

#include <QJsonArray>
#include <QString>

#include <map>
#include <memory>

class QWidget;
class TChart;
class TFastLineSeries;
class TFormula;
class TfrmFormula;

// Computes a formula over the series into `into`, which must be empty: the
// room for its points is made and its pages asked for beside the computing.
void ComputeSeries(const TFormula& formula, const std::vector<TPointsView>& series, TFastLineSeries& into);

// The chart's series made by formulas: "New Series from Formula...",
// "Edit Formula..." and what a file keeps of them. Series are remembered by
// their serial numbers, so that deleting or moving others never mixes them up.
class TChartFormulas {
public:
    TChartFormulas(TChart& chart, QWidget* dialogParent);
    ~TChartFormulas();

    // Asks for a formula and adds its series at the end of the chart; false
    // when the user cancelled. Throws an Exception (nothing added) when the
    // formula's functions cannot work on its series.
    bool NewSeries();
    // Asks again for the formula of data series `index` (1 is the first) and
    // computes it anew; false when the user cancelled.
    bool EditSeries(int index);
    // Whether data series `index` was made by a formula.
    bool IsDerived(int index) const;
    // What the legend tells of a series made by a formula: its formula, and
    // why it cannot be made again where one of its series is gone.
    QString Describe(int index) const;

    // The formulas of the chart's series, as a file beside the chart data
    // keeps them: each with the position of its series (1 is the first data
    // series), that series' title, and the formula in the names the series
    // have then.
    QJsonArray Saved() const;
    // Takes the formulas of a file back for the series now on the chart; an
    // entry whose series is not the one it was saved with is dropped. What
    // it holds of other series stays.
    void Restore(const QJsonArray& saved);

    // The dialog, once it was shown.
    TfrmFormula* Dialog() const { return mDialog.get(); }

private:
    std::vector<TSeriesEntry> Entries() const;
    // The points of the formula into the series, which must be empty.
    void Compute(const QString& formula, const std::vector<TSeriesName>& names, class TFastLineSeries& series);
    TfrmFormula& EnsureDialog();

    TChart& mChart;
    QWidget* mDialogParent;
    std::unique_ptr<TfrmFormula> mDialog;
    std::map<quint64, TDerivedSeries> mDerived;
};
