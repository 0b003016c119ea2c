#include "marks/MarkLayout.h"

#include <algorithm>

namespace {

// The first index in [low, high) whose mark starts at or after t, searched
// outwards from low first: a neighbour is found in a step or two, a far one
// in a logarithm of the distance.
int FirstFrom(const std::vector<TMark>& marks, int low, int high, double t)
{
    int step = 1;
    int bound = low;
    while (bound < high && marks[static_cast<std::size_t>(bound)].Seconds < t) {
        low = bound + 1;
        bound = low + step;
        step *= 2;
    }
    const auto begin = marks.begin() + low;
    const auto end = marks.begin() + std::min(bound, high);
    return static_cast<int>(
        std::lower_bound(begin, end, t, [](const TMark& m, double value) { return m.Seconds < value; }) -
        marks.begin());
}

} // namespace

std::vector<TMarkGlyph> LayoutMarks(const TMarkList& list, double viewMin, double viewMax, double width,
                                    double apart)
{
    std::vector<TMarkGlyph> glyphs;
    if (!(viewMax > viewMin) || !(width > 0) || list.Count() == 0)
        return glyphs;
    const std::vector<TMark>& marks = list.All();
    const double scale = width / (viewMax - viewMin);
    const double gap = apart / scale;
    const auto column = [&](double seconds) { return (seconds - viewMin) * scale; };

    // Spans that start before the view and reach into it.
    const int inView = list.LowerBound(viewMin);
    if (list.LongestLength() > 0) {
        for (int i = list.LowerBound(viewMin - list.LongestLength()); i < inView; ++i) {
            const TMark& mark = marks[static_cast<std::size_t>(i)];
            if (mark.End() >= viewMin)
                glyphs.push_back({column(mark.Seconds), std::min(column(mark.End()), width), i, 1});
        }
    }

    const int high = static_cast<int>(
        std::upper_bound(marks.begin(), marks.end(), viewMax, [](double t, const TMark& m) { return t < m.Seconds; }) -
        marks.begin());
    int i = inView;
    while (i < high) {
        const double first = marks[static_cast<std::size_t>(i)].Seconds;
        int last = i;
        // The run grows while a mark starts within `gap` of its last one.
        for (;;) {
            const int next = FirstFrom(marks, last + 1, high, marks[static_cast<std::size_t>(last)].Seconds + gap);
            if (next == last + 1)
                break;
            last = next - 1;
        }
        const TMark& lastMark = marks[static_cast<std::size_t>(last)];
        if (last == i)
            glyphs.push_back({column(first), std::min(column(lastMark.End()), width), i, 1});
        else
            glyphs.push_back({column(first), column(lastMark.Seconds), i, last - i + 1});
        i = last + 1;
    }
    return glyphs;
}
