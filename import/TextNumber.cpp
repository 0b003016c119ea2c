#include "import/TextNumber.h"

#include <fast_float/fast_float.h>

#include <cmath>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The general grammar, for what the fast path below leaves: a lone decimal
// separator, and an exponent letter without digits.
bool TryParseSpecialNumber(const char* p, const char* end, char decimalSeparator, bool negative, double& value)
{
    const char* const mantissa = p;
    bool hasDigits = false;
    bool hasSeparator = false;
    for (; p != end; ++p) {
        if (IsDigit(*p))
            hasDigits = true;
        else if (*p == decimalSeparator && !hasSeparator)
            hasSeparator = true;
        else
            break;
    }
    const char* const mantissaEnd = p;
    if (mantissaEnd == mantissa)
        return false;

    bool hasExponentDigits = false;
    if (p != end && (*p == 'E' || *p == 'e')) {
        ++p;
        if (p != end && (*p == '+' || *p == '-'))
            ++p;
        const char* const exponentDigits = p;
        while (p != end && IsDigit(*p))
            ++p;
        hasExponentDigits = p != exponentDigits;
    }
    if (p != end)
        return false;

    if (!hasDigits) {
        value = 0.0;
        return true;
    }
    // Only an exponent without digits is left: it counts as the exponent 0.
    if (hasExponentDigits)
        return false;
    double magnitude = 0.0;
    const fast_float::parse_options options(fast_float::chars_format::general, decimalSeparator);
    const auto result = fast_float::from_chars_advanced(mantissa, mantissaEnd, magnitude, options);
    if (result.ec != std::errc() || result.ptr != mantissaEnd || !std::isfinite(magnitude))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

bool TryParseTextNumber(std::string_view text, char decimalSeparator, double& value)
{
    const char* p = text.data();
    const char* const end = p + text.size();

    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // What follows the sign must start with a digit or the separator: this
    // keeps out a second sign and the words fast_float reads (inf, nan).
    if (p == end || !(IsDigit(*p) || *p == decimalSeparator))
        return false;

    // fast_float reads the same grammar (digits, at most one separator, an
    // exponent with digits) but needs a digit in the mantissa and ignores an
    // exponent letter without digits: those cases take the slow path.
    double magnitude = 0.0;
    const fast_float::parse_options options(fast_float::chars_format::general, decimalSeparator);
    const auto result = fast_float::from_chars_advanced(p, end, magnitude, options);
    if (result.ec == std::errc::invalid_argument || result.ptr != end)
        return TryParseSpecialNumber(p, end, decimalSeparator, negative, value);
    // A value too large for a double comes back infinite (newer fast_float
    // versions also report it as out of range); one too small reads as 0.
    if (!std::isfinite(magnitude))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}
