#pragma once

#include "derived/SeriesNames.h"

#include <QString>
#include <QStringList>

#include <vector>

class TFormula;

// A series of the chart as formulas see it: the number it is remembered by
// and its title.
struct TSeriesEntry {
    quint64 Serial;
    QString Title;
};

// A name of a derived series' formula and the series it stood for when the
// formula was given: Serial 0 once that series is unknown (deleted before a
// save); Title is its title then, for messages.
struct TDerivedInput {
    QString Name;
    quint64 Serial;
    QString Title;
};

// What a series made by a formula was made from, to make it again.
struct TDerivedSeries {
    QString Formula;
    QString Title;
    QString Unit;
    std::vector<TDerivedInput> Inputs;
};

// The title a derived series shows: its title and, where there is one, its
// unit in brackets.
QString DerivedSeriesTitle(const QString& title, const QString& unit);

// The derived series of a formula read against the chart's series.
TDerivedSeries MakeDerivedSeries(const QString& formula, const QString& title, const QString& unit,
                                 const std::vector<TSeriesName>& names, const std::vector<TSeriesEntry>& series);

// The formula in the names its inputs have among `series` today: the title
// where that still names the series, else "a" and its position. An input no
// longer there is named "deleted_" and its name, which no series answers
// to, and `missing` gets a sentence saying which series is gone.
QString CurrentFormula(const TDerivedSeries& derived, const std::vector<TSeriesEntry>& series, QStringList* missing);
