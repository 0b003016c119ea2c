#include "multivideo/VideoArrangement.h"

#include "common/Exception.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TArrangement Videos(QList<TAddedVideo> videos)
{
    TArrangement arrangement;
    arrangement.Videos = std::move(videos);
    return arrangement;
}

} // namespace

TEST(VideoArrangement, IsKeptBesideTheVideoUnderANameThatIsNeverTheVideo)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/runs/day1/run.2.mp4", "/runs/day1/run.2.plotreel"},
        {"/runs/day1/run", "/runs/day1/run.plotreel"},
        {"/runs/day1/run.plotreel", "/runs/day1/run.plotreel.plotreel"},
        {"/runs/day1/.plotreel", "/runs/day1/.plotreel.plotreel"},
    };
    for (const auto& [video, arrangement] : cases)
        EXPECT_EQ(ArrangementFileName(video), arrangement) << video;
}

TEST(VideoArrangement, PathsAreRelativeToTheMainVideosFolderAndComeBackAbsolute)
{
    const TArrangement arrangement = Videos({{"/runs/day1/side.mp4", 0.5}, {"/runs/day1/cams/top.mp4", -1.25}, {"/other/far.mov", 0.04}});
    const QByteArray text = ArrangementText("/runs/day1/main.mp4", arrangement);
    const QJsonArray list = QJsonDocument::fromJson(text).object().value("videos").toArray();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].toObject().value("path").toString(), "side.mp4");
    EXPECT_EQ(list[1].toObject().value("path").toString(), "cams/top.mp4");
    EXPECT_EQ(list[2].toObject().value("path").toString(), "../../other/far.mov");
    EXPECT_EQ(ParseArrangement(text, "/runs/day1/main.mp4", "a.plotreel"), arrangement);
    // The run's folder moved elsewhere: the relative paths go with it.
    EXPECT_EQ(ParseArrangement(text, "/moved/main.mp4", "a.plotreel").Videos[1].FileName, "/moved/cams/top.mp4");
}

// A file written by a newer program keeps what only that program reads.
TEST(VideoArrangement, KeysItDoesNotKnowAreWrittenBackAsTheyWereRead)
{
    const QByteArray text = R"({
        "marks": [{"time": 1.5, "text": "impact"}],
        "version": 3,
        "videos": [{"path": "side.mp4", "offset": 0.5, "rate": 1000, "origin": {"frame": 12}}]
    })";
    TArrangement arrangement = ParseArrangement(text, "/r/main.mp4", "/r/main.plotreel");
    ASSERT_EQ(arrangement.Videos.size(), 1);
    EXPECT_EQ(arrangement.Videos[0].FileName, "/r/side.mp4");
    arrangement.Videos[0].OffsetSeconds = 0.75;
    const QJsonObject written = QJsonDocument::fromJson(ArrangementText("/r/main.mp4", arrangement)).object();
    QJsonObject expected = QJsonDocument::fromJson(text).object();
    expected["videos"] = QJsonArray{QJsonObject{{"path", "side.mp4"}, {"offset", 0.75}, {"rate", 1000},
                                                {"origin", QJsonObject{{"frame", 12}}}}};
    EXPECT_EQ(written, expected) << ArrangementText("/r/main.mp4", arrangement).toStdString();
    // Only other sections, no videos: still something to keep.
    EXPECT_FALSE(ParseArrangement(R"({"marks": []})", "/r/main.mp4", "x").IsEmpty());
    EXPECT_TRUE(ParseArrangement("{}", "/r/main.mp4", "x").IsEmpty());
}

TEST(VideoArrangement, SavesAtomicallyLoadsAndRemovesTheFileWhenNothingIsKept)
{
    QTemporaryDir folder;
    const QString main = folder.filePath("main.mp4");
    EXPECT_TRUE(LoadArrangement(main).IsEmpty());
    const TArrangement arrangement = Videos({{folder.filePath("b.mp4"), 0.12}});
    EXPECT_EQ(SaveArrangement(main, arrangement), QString());
    EXPECT_EQ(LoadArrangement(main), arrangement);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"main.plotreel"});
    SaveArrangement(main, {});
    EXPECT_FALSE(QFile::exists(folder.filePath("main.plotreel")));
}

TEST(VideoArrangement, TextThatIsNoArrangementIsRefusedNamingTheFile)
{
    QByteArray tooMany = R"({"videos": [)";
    for (int i = 0; i <= MaxArrangementEntries; ++i)
        tooMany += QByteArray(i ? "," : "") + R"({"path": "a.mp4", "offset": 0})";
    tooMany += "]}";
    const QByteArray texts[] = {
        "not json",
        "[1, 2]",
        R"({"videos": 3})",
        R"({"videos": [{"offset": 1}]})",
        R"({"videos": [{"path": "", "offset": 1}]})",
        R"({"videos": [{"path": "a.mp4", "offset": "1"}]})",
        R"({"videos": [7]})",
        R"({"formulas": {"series": 1}})",
        tooMany,
    };
    for (const QByteArray& text : texts) {
        const QString message = ErrorOf([&] { ParseArrangement(text, "/r/main.mp4", "/r/main.plotreel"); });
        EXPECT_TRUE(message.startsWith("The video arrangement \"/r/main.plotreel\" cannot be read")) << text.toStdString();
    }
    // More videos than can be shown at once are no damage: the others wait.
    EXPECT_EQ(ParseArrangement(R"({"videos": [{"path": "a.mp4", "offset": 0}, {"path": "b.mp4", "offset": 0},
                                  {"path": "c.mp4", "offset": 0}, {"path": "d.mp4", "offset": 0}]})",
                               "/r/main.mp4", "x").Videos.size(), 4);
}

// A named pipe in the file's place would hold the window until some other
// program writes into it; a folder has nothing to read.
TEST(VideoArrangement, AFileThatIsNoRegularFileIsRefusedAtOnce)
{
    QTemporaryDir folder;
    const QString main = folder.filePath("main.mp4");
    const QString fileName = folder.filePath("main.plotreel");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fileName).constData(), 0600), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(ErrorOf([&] { LoadArrangement(main); }).contains("named pipe"));
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_TRUE(QFile::remove(fileName));
    ASSERT_TRUE(QDir().mkdir(fileName));
    EXPECT_TRUE(ErrorOf([&] { LoadArrangement(main); }).contains("folder"));
}

TEST(VideoArrangement, AFileThatCouldNotBeReadIsSetAsideBeforeTheSave)
{
    QTemporaryDir folder;
    const QString main = folder.filePath("main.mp4");
    const QString fileName = folder.filePath("main.plotreel");
    PutFile(fileName, "{ damaged");
    const TArrangement arrangement = Videos({{folder.filePath("b.mp4"), 0.12}});
    EXPECT_EQ(SaveArrangement(main, arrangement, true), fileName + ".damaged");
    EXPECT_EQ(FileContent(fileName + ".damaged"), "{ damaged");
    EXPECT_EQ(LoadArrangement(main), arrangement);

    // With nothing to write, the damaged file is still kept, not removed.
    PutFile(fileName, "{ damaged again");
    EXPECT_EQ(SaveArrangement(main, {}, true), fileName + ".damaged.1");
    EXPECT_EQ(FileContent(fileName + ".damaged.1"), "{ damaged again");
    EXPECT_FALSE(QFile::exists(fileName));
}

// A link at the arrangement's name that leads to the video itself.
TEST(VideoArrangement, TheVideoItselfIsNeverReadNorWrittenAsItsArrangement)
{
    QTemporaryDir folder;
    const QString main = folder.filePath("main.mp4");
    PutFile(main, "frames");
    for (const bool hard : {false, true}) {
        const QString fileName = folder.filePath("main.plotreel");
        QFile::remove(fileName);
        if (hard)
            ASSERT_EQ(::link(QFile::encodeName(main).constData(), QFile::encodeName(fileName).constData()), 0);
        else
            ASSERT_TRUE(QFile::link(main, fileName));
        EXPECT_TRUE(ErrorOf([&] { LoadArrangement(main); }).contains("is the video")) << hard;
        EXPECT_TRUE(ErrorOf([&] { SaveArrangement(main, Videos({{"/r/b.mp4", 1}}), true); }).contains("is the video"));
        EXPECT_TRUE(ErrorOf([&] { SaveArrangement(main, {}); }).contains("is the video"));
        EXPECT_EQ(FileContent(main), "frames");
        EXPECT_EQ(FileContent(fileName), "frames");
    }
}
