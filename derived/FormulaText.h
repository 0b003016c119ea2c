#pragma once

#include <QString>

#include <functional>
#include <optional>

// A name in a formula's text: letters, digits and underscores from Start to
// End, not part of a number; Open is the position of a '(' that follows it
// (spaces between), or -1.
struct TFormulaName {
    int Start;
    int End;
    int Open;
};

// The first name at or after `from`.
std::optional<TFormulaName> NextFormulaName(const QString& text, int from);

// The formula with every name that `rename` gives a new one for (and that is
// not followed by a '(') replaced by it.
QString RenameInFormula(const QString& text, const std::function<std::optional<QString>(const QString&)>& rename);
