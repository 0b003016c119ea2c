#include "marks/MarkEvents.h"
#include "marks/MarkList.h"

#include "logger/LoggerFile.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<double> Times(const TMarkList& list)
{
    std::vector<double> times;
    for (const TMark& mark : list.All())
        times.push_back(mark.Seconds);
    return times;
}

TMark Point(double seconds, QString note = {})
{
    TMark mark;
    mark.Seconds = seconds;
    mark.Note = std::move(note);
    return mark;
}

} // namespace

TEST(MarkList, NextAndPreviousSkipTheMarkAtTheCursorAndAgreeWithALinearSearch)
{
    TMarkList list;
    for (double t : {1.0, 2.0, 2.0, 3.5, 10.0})
        list.Add(Point(t));
    struct Case {
        double At;
        int Next;
        int Previous;
    };
    // The cursor a float's rounding away from a mark is on it.
    const Case cases[] = {{0, 0, -1},       {1.0, 1, -1},     {1.0001, 1, -1}, {0.9999, 1, -1}, {1.5, 1, 0},
                          {2.0, 3, 0},      {3.5, 4, 2},      {9.9, 4, 3},     {10.0, -1, 3},   {11, -1, 4},
                          {2.0004, 3, 0},   {2.0006, 3, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(list.Next(c.At), c.Next) << c.At;
        EXPECT_EQ(list.Previous(c.At), c.Previous) << c.At;
    }

    // Against a plain search through many random marks.
    TMarkList many;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> time(0, 100);
    std::vector<TMark> marks;
    for (int i = 0; i < 2000; ++i)
        marks.push_back(Point(time(random)));
    many.Import(marks, false);
    for (int probe = 0; probe < 500; ++probe) {
        const double t = time(random);
        int next = -1;
        int previous = -1;
        for (int i = 0; i < many.Count(); ++i) {
            if (next < 0 && many.At(i).Seconds > t + TMarkList::SameMoment)
                next = i;
            if (many.At(i).Seconds < t - TMarkList::SameMoment)
                previous = i;
        }
        ASSERT_EQ(many.Next(t), next);
        ASSERT_EQ(many.Previous(t), previous);
    }
}

TEST(MarkList, EveryChangeIsUndoneAndRedoneInOrder)
{
    TMarkList list;
    int changes = 0;
    list.OnChanged = [&changes] { ++changes; };
    const std::uint64_t a = list.Add(Point(5, "a"));
    const std::uint64_t b = list.Add(Point(1, "b"));
    list.Add(Point(3, "c"));
    list.SetNote(a, "a, edited");
    list.SetCategory(b, 4);
    list.Move(a, 0.5);
    list.Remove({b});
    EXPECT_EQ(Times(list), (std::vector<double>{0.5, 3}));
    EXPECT_EQ(list.At(0).Note, "a, edited");

    // Undone back to nothing, then redone to the end: each state as it was.
    std::vector<std::vector<TMark>> states{list.All()};
    while (list.CanUndo()) {
        list.Undo();
        states.push_back(list.All());
    }
    EXPECT_TRUE(list.All().empty());
    EXPECT_EQ(states.size(), 8u);
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        list.Redo();
        EXPECT_EQ(list.All(), states[i]);
    }
    EXPECT_FALSE(list.CanRedo());

    // A new change after an undo forgets what could have been redone.
    list.Undo();
    list.Add(Point(7));
    EXPECT_FALSE(list.CanRedo());
    EXPECT_EQ(changes, 7 + 7 + 7 + 1 + 1);
}

TEST(MarkList, ADragIsOneStepAndAnImportThatReplacesIsUndoneWhole)
{
    TMarkList list;
    const std::uint64_t id = list.Add(Point(2));
    list.Add(Point(4));
    list.Move(id, 2.5, true);
    list.Move(id, 3.0, true);
    list.Move(id, 5.0, true);
    EXPECT_EQ(Times(list), (std::vector<double>{4, 5}));
    list.Undo();
    EXPECT_EQ(Times(list), (std::vector<double>{2, 4}));
    list.Redo();
    EXPECT_EQ(Times(list), (std::vector<double>{4, 5}));

    list.Import({Point(9), Point(8)}, true);
    EXPECT_EQ(Times(list), (std::vector<double>{8, 9}));
    list.Undo();
    EXPECT_EQ(Times(list), (std::vector<double>{4, 5}));
    list.Import({Point(1)}, false);
    EXPECT_EQ(Times(list), (std::vector<double>{1, 4, 5}));
}

TEST(MarkList, LoggerEventsBecomeMarksOnTheVideosClock)
{
    // The logger's zero lies 10 s before the video's start.
    const TDateTime start = 45000.25;
    const std::vector<TLoggerEvent> events{
        {12.5, 0, "Trigger", "pedal"},
        {9, 0, "Before the video", ""},
        {14, 1.5, "", "Recording"},
    };
    int skipped = 0;
    const std::vector<TMark> marks = MarksFromEvents(events, start - 10 / SecondsPerDay, start, 2, &skipped);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(skipped, 1);
    EXPECT_NEAR(marks[0].Seconds, 2.5, 1e-6);
    EXPECT_EQ(marks[0].Note, "Trigger: pedal");
    EXPECT_EQ(marks[0].Category, 2);
    EXPECT_NEAR(marks[1].Length, 1.5, 1e-9);
    EXPECT_EQ(marks[1].Note, "Recording");
}
