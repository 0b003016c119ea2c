#pragma once

#include "common/DateTime.h"
#include "common/Exception.h"
#include "derived/PointsView.h"
#include "derived/SeriesNames.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A formula that cannot be read, and the column (from 1) where the problem is.
class TFormulaError : public Exception {
public:
    TFormulaError(const QString& message, int column) : Exception(message), mColumn(column) {}
    int Column() const { return mColumn; }

private:
    int mColumn;
};

// Blocks of a derived series' points, in ascending time.
using TPointBlockSink = std::function<void(const TChartPoint* points, std::size_t count)>;

// A formula over data series: + - * / ^, parentheses, numbers, abs, sqrt,
// exp, log, sin, cos, min, max, if(c, a, b) and the rest of the expression
// parser's functions, the series by their names, and the functions of time
// ddt(x), integral(x), mean(x, s), rms(x, s), shift(x, s) and cfc(x, class),
// whose x may itself be a formula. It is computed on the times of the first
// series it names; other series are interpolated linearly between their
// points. Where a series has no point around a time, or the result is not a
// number (a division by zero), the result has no point: a gap, never a zero,
// as a source that holds no number there leaves one.
class TFormula {
public:
    // Reads the formula; throws a TFormulaError naming the problem and its
    // column ("unknown series 'ax' at column 6") when it cannot be computed.
    TFormula(const QString& text, const std::vector<TSeriesName>& names);
    ~TFormula();
    TFormula(const TFormula&) = delete;
    TFormula& operator=(const TFormula&) = delete;

    // The series the formula reads (their positions in the names' titles),
    // in the order it first names them.
    const std::vector<int>& Inputs() const { return mInputs; }

    // Computes the points into sink. series[k] holds the points of series k;
    // only the inputs are read. integral() counts from `origin` where it lies
    // within its series. Throws an Exception when a function of time cannot
    // work on its series (cfc on an uneven one).
    void Evaluate(const std::vector<TPointsView>& series, std::optional<TDateTime> origin,
                  const TPointBlockSink& sink) const;

    struct TNode;

private:
    QString mText;
    std::vector<TSeriesName> mNames;
    std::unique_ptr<TNode> mRoot;
    std::vector<int> mInputs;
};
