#pragma once

#include "marks/Mark.h"

#include <cstdint>
#include <functional>
#include <vector>

// The marks of a video in time order (ties in the order they were added),
// with every change undoable. Marks are found by binary search, so a list of
// a hundred thousand answers "the next one" in microseconds.
class TMarkList {
public:
    // Two times closer than this are the same moment: the cursor on a mark's
    // frame is "at" the mark, whatever rounding the player's position had.
    static constexpr double SameMoment = 0.0005;

    const std::vector<TMark>& All() const { return mMarks; }
    int Count() const { return static_cast<int>(mMarks.size()); }
    const TMark& At(int index) const { return mMarks.at(static_cast<std::size_t>(index)); }
    // The index of the mark with this id, or -1.
    int IndexOf(std::uint64_t id) const;
    // The longest span, for finding the spans that reach into a time window.
    double LongestLength() const { return mLongest; }
    // The index of the first mark starting at or after `seconds`.
    int LowerBound(double seconds) const;

    // The first mark starting after `seconds`, or -1 when there is none.
    int Next(double seconds) const;
    // The last mark starting before `seconds`, or -1.
    int Previous(double seconds) const;

    // Each of these is one step of the history; they return the new mark's id.
    std::uint64_t Add(TMark mark);
    void Remove(const std::vector<std::uint64_t>& ids);
    // With `continuing`, a move of the same mark right after another one
    // joins its step, so that a drag is undone at once.
    void Move(std::uint64_t id, double seconds, bool continuing = false);
    void SetNote(std::uint64_t id, const QString& note);
    void SetCategory(std::uint64_t id, int category);
    // Adds marks read from elsewhere, or puts them in place of all marks.
    void Import(std::vector<TMark> marks, bool replace);

    // Puts these marks in place without a step: for marks read with a video.
    void Reset(std::vector<TMark> marks);

    bool CanUndo() const { return !mUndo.empty(); }
    bool CanRedo() const { return !mRedo.empty(); }
    void Undo();
    void Redo();
    // Whether anything changed since the last MarkSaved (or Reset).
    bool Modified() const { return mModified; }
    void MarkSaved() { mModified = false; }

    // Told after every change.
    std::function<void()> OnChanged;

private:
    // A change: the marks taken out and those put in; undone the other way
    // round.
    struct TStep {
        std::vector<TMark> Removed;
        std::vector<TMark> Added;
        bool Move = false;
    };
    void Record(TStep step);
    void Apply(const std::vector<TMark>& removed, const std::vector<TMark>& added);
    void Insert(const TMark& mark);
    void Changed();
    TMark Copy(std::uint64_t id) const;

    std::vector<TMark> mMarks;
    std::vector<TStep> mUndo;
    std::vector<TStep> mRedo;
    std::uint64_t mNextId = 1;
    double mLongest = 0;
    bool mModified = false;
};
