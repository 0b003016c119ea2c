#include "marks/MarkList.h"

#include "common/Exception.h"

#include <algorithm>
#include <unordered_set>

namespace {

// The oldest steps are forgotten beyond this many.
constexpr std::size_t MaxSteps = 1000;

bool Before(const TMark& a, const TMark& b)
{
    return a.Seconds < b.Seconds || (a.Seconds == b.Seconds && a.Id < b.Id);
}

} // namespace

int TMarkList::IndexOf(std::uint64_t id) const
{
    const auto found = std::find_if(mMarks.begin(), mMarks.end(), [id](const TMark& m) { return m.Id == id; });
    return found == mMarks.end() ? -1 : static_cast<int>(found - mMarks.begin());
}

int TMarkList::LowerBound(double seconds) const
{
    const auto at = std::lower_bound(mMarks.begin(), mMarks.end(), seconds,
                                     [](const TMark& m, double t) { return m.Seconds < t; });
    return static_cast<int>(at - mMarks.begin());
}

int TMarkList::Next(double seconds) const
{
    const auto at = std::upper_bound(mMarks.begin(), mMarks.end(), seconds + SameMoment,
                                     [](double t, const TMark& m) { return t < m.Seconds; });
    return at == mMarks.end() ? -1 : static_cast<int>(at - mMarks.begin());
}

int TMarkList::Previous(double seconds) const
{
    return LowerBound(seconds - SameMoment) - 1;
}

TMark TMarkList::Copy(std::uint64_t id) const
{
    const int index = IndexOf(id);
    if (index < 0)
        throw Exception(QStringLiteral("The mark is no longer there."));
    return At(index);
}

std::uint64_t TMarkList::Add(TMark mark)
{
    mark.Id = mNextId++;
    Record({{}, {mark}});
    return mark.Id;
}

void TMarkList::Remove(const std::vector<std::uint64_t>& ids)
{
    const std::unordered_set<std::uint64_t> wanted(ids.begin(), ids.end());
    TStep step;
    for (const TMark& mark : mMarks) {
        if (wanted.count(mark.Id))
            step.Removed.push_back(mark);
    }
    if (!step.Removed.empty())
        Record(std::move(step));
}

void TMarkList::Move(std::uint64_t id, double seconds, bool continuing)
{
    const TMark before = Copy(id);
    if (before.Seconds == seconds)
        return;
    TMark after = before;
    after.Seconds = seconds;
    if (continuing && !mUndo.empty() && mUndo.back().Move && mUndo.back().Added.size() == 1
        && mUndo.back().Added.front().Id == id) {
        // The step keeps the mark as it was before the drag.
        Apply({before}, {after});
        mUndo.back().Added = {after};
        mRedo.clear();
        Changed();
        return;
    }
    TStep step{{before}, {after}, true};
    Record(std::move(step));
}

void TMarkList::SetNote(std::uint64_t id, const QString& note)
{
    TMark mark = Copy(id);
    if (mark.Note == note)
        return;
    const TMark before = mark;
    mark.Note = note;
    Record({{before}, {mark}});
}

void TMarkList::SetCategory(std::uint64_t id, int category)
{
    TMark mark = Copy(id);
    if (mark.Category == category)
        return;
    const TMark before = mark;
    mark.Category = std::clamp(category, 0, MarkCategoryCount - 1);
    Record({{before}, {mark}});
}

void TMarkList::Import(std::vector<TMark> marks, bool replace)
{
    TStep step;
    if (replace)
        step.Removed = mMarks;
    for (TMark& mark : marks)
        mark.Id = mNextId++;
    step.Added = std::move(marks);
    if (!step.Removed.empty() || !step.Added.empty())
        Record(std::move(step));
}

void TMarkList::Reset(std::vector<TMark> marks)
{
    for (TMark& mark : marks)
        mark.Id = mNextId++;
    std::stable_sort(marks.begin(), marks.end(), Before);
    mMarks = std::move(marks);
    mUndo.clear();
    mRedo.clear();
    mLongest = 0;
    for (const TMark& mark : mMarks)
        mLongest = std::max(mLongest, mark.Length);
    mModified = false;
    if (OnChanged)
        OnChanged();
}

void TMarkList::Undo()
{
    if (mUndo.empty())
        return;
    TStep step = std::move(mUndo.back());
    mUndo.pop_back();
    Apply(step.Added, step.Removed);
    mRedo.push_back(std::move(step));
    Changed();
}

void TMarkList::Redo()
{
    if (mRedo.empty())
        return;
    TStep step = std::move(mRedo.back());
    mRedo.pop_back();
    Apply(step.Removed, step.Added);
    mUndo.push_back(std::move(step));
    Changed();
}

void TMarkList::Record(TStep step)
{
    Apply(step.Removed, step.Added);
    mUndo.push_back(std::move(step));
    if (mUndo.size() > MaxSteps)
        mUndo.erase(mUndo.begin());
    mRedo.clear();
    Changed();
}

void TMarkList::Apply(const std::vector<TMark>& removed, const std::vector<TMark>& added)
{
    if (!removed.empty()) {
        std::unordered_set<std::uint64_t> ids;
        for (const TMark& mark : removed)
            ids.insert(mark.Id);
        mMarks.erase(std::remove_if(mMarks.begin(), mMarks.end(), [&ids](const TMark& m) { return ids.count(m.Id); }),
                     mMarks.end());
    }
    if (added.size() > 16) {
        // Many at once: appended and sorted in one go.
        mMarks.insert(mMarks.end(), added.begin(), added.end());
        std::sort(mMarks.begin(), mMarks.end(), Before);
    } else {
        for (const TMark& mark : added)
            Insert(mark);
    }
    mLongest = 0;
    for (const TMark& mark : mMarks)
        mLongest = std::max(mLongest, mark.Length);
}

void TMarkList::Insert(const TMark& mark)
{
    mMarks.insert(std::upper_bound(mMarks.begin(), mMarks.end(), mark, Before), mark);
}

void TMarkList::Changed()
{
    mModified = true;
    if (OnChanged)
        OnChanged();
}
