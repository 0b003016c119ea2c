#include "marks/MarksCsv.h"

#include "common/TimeMapping.h"
#include "tests/support/ErrorOf.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TMark MarkOf(double seconds, double length, int category, QString note)
{
    TMark mark;
    mark.Seconds = seconds;
    mark.Length = length;
    mark.Category = category;
    mark.Note = std::move(note);
    return mark;
}

} // namespace

TEST(MarksCsv, AwkwardNotesAndFrameTimesComeBackExactly)
{
    const TMarkCategories categories = DefaultMarkCategories();
    const std::vector<TMark> marks{
        MarkOf(0, 0, 0, ""),
        MarkOf(1.0 / 29.97, 0, 1, "comma, in it"),
        MarkOf(12.345678, 2.5, 8, "she said \"stop\"\r\nthen \"go\""),
        MarkOf(3599.96, 0.04, 3, "naïve café – 制动 🚗"),
        MarkOf(60, 0, 2, "\"\""),
        MarkOf(61, 0, 2, " spaces around "),
        MarkOf(62, 0, 2, "line\nbreak only,\n"),
    };
    const TDateTime start = 46000.25;
    const QByteArray text = MarksCsvText(marks, categories, start);
    EXPECT_TRUE(text.startsWith("Time,Seconds,Length,Category,Note\r\n2025-12-09 06:00:00.000,0.000000,,Category 1,\r\n"))
        << text.left(120).constData();
    const std::vector<TMark> back = ParseMarksCsv(text, categories, start, "marks.csv");
    ASSERT_EQ(back.size(), marks.size());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        EXPECT_NEAR(back[i].Seconds, marks[i].Seconds, 0.5e-6) << i;
        EXPECT_NEAR(back[i].Length, marks[i].Length, 0.5e-6) << i;
        EXPECT_EQ(back[i].Category, marks[i].Category) << i;
        EXPECT_EQ(back[i].Note.toUtf8(), marks[i].Note.toUtf8()) << i;
    }
}

TEST(MarksCsv, ColumnsGoByTheHeaderAndTheTimeServesWhereSecondsAreEmpty)
{
    TMarkCategories categories = DefaultMarkCategories();
    categories[4].Name = "Brake";
    const TDateTime start = EncodeTime(QTime(7, 0, 0));
    const QByteArray text = "\xEF\xBB\xBFnote,category,time,seconds\n"
                            "first,brake,07:00:10.250,\n"
                            "second,3,,1.5\n"
                            "\n";
    const std::vector<TMark> marks = ParseMarksCsv(text, categories, start, "m.csv");
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0].Seconds, 10.25, 1e-6);
    EXPECT_EQ(marks[0].Category, 4);
    EXPECT_EQ(marks[0].Note, "first");
    EXPECT_EQ(marks[1].Category, 2);
    EXPECT_NEAR(marks[1].Seconds, 1.5, 1e-9);
}

TEST(MarksCsv, ABadRowIsNamedByItsLineAndNothingIsRead)
{
    const TMarkCategories categories = DefaultMarkCategories();
    const QByteArray header = "Time,Seconds,Length,Category,Note\r\n";
    const QByteArray good = ",1.0,,1,fine\r\n";
    struct Case {
        QByteArray Rows;
        const char* Expected;
    };
    const Case cases[] = {
        {good + ",abc,,1,x\r\n", "line 3: \"abc\" is no number of seconds."},
        // A note over two lines moves the next row's line on.
        {",1,,1,\"two\r\nlines\"\r\n,2,-1,1,x\r\n", "line 4: \"-1\" is no length in seconds."},
        {good + ",1,,Unknown,x\r\n", "line 3: \"Unknown\" is no category."},
        {good + ",1,,1\r\n", "line 3: it has 4 fields where the header has 5."},
        {",-0.5,,1,x\r\n", "line 2: the time lies before the video's start."},
        {good + ",1,,1,\"open\r\n", "line 3: a quoted field is not closed."},
        {",1,,1,\"closed\"x\r\n", "line 2: text follows a closing quote."},
        {",1,,1,a\"b\r\n", "line 2: a quote inside a field that is not quoted."},
        {",nan,,1,x\r\n", "line 2: \"nan\" is no number of seconds."},
        {"not a time,,,1,x\r\n", "line 2: \"not a time\" is no time (hh:mm:ss.zzz)."},
    };
    for (const Case& c : cases) {
        const QString error = ErrorOf([&] { ParseMarksCsv(header + c.Rows, categories, 0, "/tmp/m.csv"); });
        EXPECT_TRUE(error.startsWith("The marks file \"/tmp/m.csv\" cannot be read: ")) << error.toStdString();
        EXPECT_TRUE(error.contains(c.Expected)) << error.toStdString();
        EXPECT_TRUE(error.endsWith("Nothing is imported.")) << error.toStdString();
    }
    EXPECT_TRUE(ErrorOf([&] { ParseMarksCsv("Note,Length\r\n", categories, 0, "m.csv"); })
                    .contains("line 1: the header names no Seconds or Time column."));
    EXPECT_TRUE(ErrorOf([&] { ParseMarksCsv("", categories, 0, "m.csv"); }).contains("line 1: the file is empty"));
}

TEST(MarksCsv, SavingGoesThroughTheAtomicFileAndLoadingReadsItBack)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("marks.csv");
    const std::vector<TMark> marks{MarkOf(2, 0, 0, "x,y")};
    SaveMarksCsv(name, marks, DefaultMarkCategories(), 0);
    EXPECT_EQ(LoadMarksCsv(name, DefaultMarkCategories(), 0).front().Note, "x,y");
    EXPECT_TRUE(ErrorOf([&] { LoadMarksCsv(folder.filePath("none.csv"), DefaultMarkCategories(), 0); })
                    .startsWith("Cannot open file"));
}
