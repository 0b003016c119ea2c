#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A name a formula may use for a data series: "a1", "a2", ... by the series'
// position, and its title itself where the title is a plain identifier
// (a letter, then letters, digits and underscores) that no other series, no
// function and no other name takes. Series is the position in the titles.
struct TSeriesName {
    QString Name;
    int Series;
};

std::vector<TSeriesName> SeriesNames(const QStringList& titles);

// The names of the functions formulas know, which no series may take.
bool IsFormulaFunction(const QString& name);
