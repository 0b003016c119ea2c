#pragma once

#include <cstddef>
#include <limits>
#include <string_view>
#include <vector>

// A delimiter that the text import offers, by the name the user picks.
struct TTextDelimiter {
    const char* Name;
    char Character;
};

inline constexpr TTextDelimiter TextDelimiters[] = {
    {"TAB", '\t'},
    {"SPACE", ' '},
    {"COMMA", ','},
};

// Characters with the codes 1 to 32, the control characters and the space.
inline bool IsTextBlank(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// Splits a line into fields, views into the line, replacing what fields held.
// Blanks always separate fields and never belong to one; the delimiter
// separates fields too. When the delimiter is no blank, a delimiter with no
// field before it gives an empty field, and so does a delimiter that is the
// last character of the line. A line of blanks only has no fields. At most
// maxFields fields are split off: the first ones, as a full split gives them.
void SplitTextFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields,
                     std::size_t maxFields = std::numeric_limits<std::size_t>::max());
