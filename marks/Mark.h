#pragma once

#include <QString>

#include <cstdint>

// The nine categories a mark can have, numbered from 0.
constexpr int MarkCategoryCount = 9;

// A moment or a span of the run that the user marked. Times are seconds from
// the main video's start (the exact time of the frame it was set on), so a
// mark keeps its frame when the data is moved against the video; the chart
// shows it at the start time of the data plus those seconds.
struct TMark {
    double Seconds = 0;
    // 0 for a point in time.
    double Length = 0;
    int Category = 0;
    QString Note;
    // Stays with the mark through every change, for undo and selection; given
    // by the list the mark is added to.
    std::uint64_t Id = 0;

    double End() const { return Seconds + Length; }
    bool IsSpan() const { return Length > 0; }
    bool operator==(const TMark& other) const
    {
        return Seconds == other.Seconds && Length == other.Length && Category == other.Category
               && Note == other.Note && Id == other.Id;
    }
};
