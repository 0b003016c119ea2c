#include "import/TextNumber.h"

#include <fast_float/fast_float.h>

#include <cmath>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
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

    // The grammar is checked here; fast_float only converts what passed, so
    // that nothing it would also accept (infinity, nan) slips through.
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

    // An exponent without digits counts as the exponent 0: leave it out.
    const char* const numberEnd = hasExponentDigits ? end : mantissaEnd;
    double magnitude = 0.0;
    const fast_float::parse_options options(fast_float::chars_format::general, decimalSeparator);
    const auto result = fast_float::from_chars_advanced(mantissa, numberEnd, magnitude, options);
    if (result.ec == std::errc::invalid_argument || result.ptr != numberEnd || !std::isfinite(magnitude))
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}
