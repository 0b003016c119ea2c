#pragma once

#include <cstddef>
#include <string_view>

// Reads `count` decimal digits at text[pos] into value; false when the text
// is too short or any of them is not a digit.
inline bool ReadDigits(std::string_view text, std::size_t pos, std::size_t count, int& value)
{
    if (pos + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}
