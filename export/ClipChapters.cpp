#include "export/ClipChapters.h"

#include <algorithm>

std::vector<TClipChapter> ClipChapters(const std::vector<TClipChapter>& marks, double from, double to)
{
    std::vector<TClipChapter> chapters;
    for (const TClipChapter& mark : marks) {
        if (mark.End < from || mark.Start > to)
            continue;
        const double start = std::max(mark.Start, from) - from;
        const double end = mark.End > mark.Start ? std::min(mark.End, to) - from : to - from;
        chapters.push_back({start, end, mark.Title});
    }
    std::stable_sort(chapters.begin(), chapters.end(),
                     [](const TClipChapter& a, const TClipChapter& b) { return a.Start < b.Start; });
    // A chapter track holds one chapter at a time, each until the next.
    for (std::size_t i = 0; i + 1 < chapters.size(); ++i)
        chapters[i].End = chapters[i + 1].Start;
    return chapters;
}
