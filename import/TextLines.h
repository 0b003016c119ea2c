#pragma once

#include <string_view>

// Cuts 8-bit text into lines without copying: a line ends at CR LF, at a lone
// CR or at a lone LF; a last line without an end counts. A zero byte ends the
// text. An empty text has no lines, a text ending in one line end has no empty
// last line, and a text ending in two line ends has one.
class TTextLines {
public:
    explicit TTextLines(std::string_view text);

    // Sets line to the next line, without its end, and returns true; returns
    // false when there are no more lines.
    bool Next(std::string_view& line);

private:
    const char* mPos;
    const char* mEnd;
};
