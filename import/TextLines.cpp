#include "import/TextLines.h"

#include <cstring>

TTextLines::TTextLines(std::string_view text)
    : mPos(text.data()), mEnd(text.data() + text.size())
{
    if (const void* zero = std::memchr(text.data(), 0, text.size()))
        mEnd = static_cast<const char*>(zero);
}

bool TTextLines::Next(std::string_view& line)
{
    if (mPos == mEnd)
        return false;
    const char* p = mPos;
    while (p != mEnd && *p != '\n' && *p != '\r')
        ++p;
    line = std::string_view(mPos, static_cast<std::size_t>(p - mPos));
    if (p != mEnd) {
        if (*p == '\r' && p + 1 != mEnd && p[1] == '\n')
            ++p;
        ++p;
    }
    mPos = p;
    return true;
}

std::size_t TLineEndScan::CompleteEnd(std::string_view text)
{
    // Bytes before `from` were looked at by an earlier call and hold no line end.
    const std::size_t from = mRest > 0 ? mRest - 1 : 0;
    std::size_t end = text.size();
    if (end > from && text[end - 1] == '\r')
        --end;
    while (end > from && text[end - 1] != '\n' && text[end - 1] != '\r')
        --end;
    mScanned += text.size() - end + 1;
    if (end == from)
        end = 0;
    mRest = text.size() - end;
    return end;
}
