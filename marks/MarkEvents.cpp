#include "marks/MarkEvents.h"

#include "logger/LoggerFile.h"
#include "marks/MarkList.h"

#include <cmath>

std::vector<TMark> MarksFromEvents(const std::vector<TLoggerEvent>& events, TDateTime zero, TDateTime startTime,
                                   int category, int* skipped)
{
    std::vector<TMark> marks;
    int left = 0;
    const double offset = (zero - startTime) * SecondsPerDay;
    for (const TLoggerEvent& event : events) {
        const double seconds = offset + event.Seconds;
        if (!std::isfinite(seconds) || seconds < -TMarkList::SameMoment) {
            ++left;
            continue;
        }
        TMark mark;
        mark.Seconds = std::max(0.0, seconds);
        mark.Length = std::isfinite(event.LengthSeconds) && event.LengthSeconds > 0 ? event.LengthSeconds : 0;
        mark.Category = category;
        mark.Note = event.Name.trimmed();
        const QString comment = event.Comment.trimmed();
        if (!comment.isEmpty())
            mark.Note = mark.Note.isEmpty() ? comment : mark.Note + QStringLiteral(": ") + comment;
        marks.push_back(std::move(mark));
    }
    if (skipped)
        *skipped = left;
    return marks;
}
