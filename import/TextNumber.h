#pragma once

#include <string_view>

// Reads a field as a number: an optional sign, digits with at most one decimal
// separator, and an optional exponent (E or e, an optional sign, digits). A
// lone decimal separator reads as 0, an exponent letter without digits as the
// exponent 0. Returns false, leaving value alone, for anything else: the empty
// text, blanks, thousands separators, "inf", "nan", hexadecimal and values too
// large for a double included.
bool TryParseTextNumber(std::string_view text, char decimalSeparator, double& value);
