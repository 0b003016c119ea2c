#pragma once

#include <cstddef>
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

// Where the complete lines of a text read block by block end, looking at each
// byte once however long a line runs over many blocks. Each call gets the
// unfinished rest that the last call left (the text from the end it returned)
// followed by the next block.
class TLineEndScan {
public:
    // The end of text's last line end, except that a CR at the very end may be
    // the first half of a CR LF still to come; 0 when no line is complete.
    std::size_t CompleteEnd(std::string_view text);
    // Bytes looked at so far.
    std::size_t Scanned() const { return mScanned; }

private:
    // Length of the rest the last call left; none of it is a line end but
    // perhaps its last byte, a CR.
    std::size_t mRest = 0;
    std::size_t mScanned = 0;
};
