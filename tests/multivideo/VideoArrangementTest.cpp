#include "multivideo/VideoArrangement.h"

#include "common/Exception.h"
#include "tests/support/ErrorOf.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(VideoArrangement, IsKeptBesideTheVideoUnderItsBaseName)
{
    EXPECT_EQ(ArrangementFileName("/runs/day1/run.2.mp4"), "/runs/day1/run.2.plotreel");
}

TEST(VideoArrangement, PathsAreRelativeToTheMainVideosFolderAndComeBackAbsolute)
{
    const QList<TAddedVideo> videos{
        {"/runs/day1/side.mp4", 0.5}, {"/runs/day1/cams/top.mp4", -1.25}, {"/other/far.mov", 0.04}};
    const QByteArray text = ArrangementText("/runs/day1/main.mp4", videos);
    const QJsonArray list = QJsonDocument::fromJson(text).object().value("videos").toArray();
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0].toObject().value("path").toString(), "side.mp4");
    EXPECT_EQ(list[1].toObject().value("path").toString(), "cams/top.mp4");
    EXPECT_EQ(list[2].toObject().value("path").toString(), "../../other/far.mov");
    EXPECT_EQ(ParseArrangement(text, "/runs/day1/main.mp4", "a.plotreel"), videos);
    // The run's folder moved elsewhere: the relative paths go with it.
    EXPECT_EQ(ParseArrangement(text, "/moved/main.mp4", "a.plotreel")[1].FileName, "/moved/cams/top.mp4");
}

TEST(VideoArrangement, SavesAtomicallyLoadsAndRemovesTheFileWhenNoVideoIsAdded)
{
    QTemporaryDir folder;
    const QString main = folder.filePath("main.mp4");
    EXPECT_TRUE(LoadArrangement(main).isEmpty());
    const QList<TAddedVideo> videos{{folder.filePath("b.mp4"), 0.12}};
    SaveArrangement(main, videos);
    EXPECT_EQ(LoadArrangement(main), videos);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"main.plotreel"});
    SaveArrangement(main, {});
    EXPECT_FALSE(QFile::exists(folder.filePath("main.plotreel")));
}

TEST(VideoArrangement, TextThatIsNoArrangementIsRefusedNamingTheFile)
{
    const char* texts[] = {
        "not json",
        "[1, 2]",
        R"({"videos": 3})",
        R"({"videos": [{"offset": 1}]})",
        R"({"videos": [{"path": "", "offset": 1}]})",
        R"({"videos": [{"path": "a.mp4", "offset": "1"}]})",
        R"({"videos": [{"path": "a.mp4", "offset": 0}, {"path": "b.mp4", "offset": 0},
                       {"path": "c.mp4", "offset": 0}, {"path": "d.mp4", "offset": 0}]})",
    };
    for (const char* text : texts) {
        const QString message = ErrorOf([&] { ParseArrangement(text, "/r/main.mp4", "/r/main.plotreel"); });
        EXPECT_TRUE(message.startsWith("The video arrangement \"/r/main.plotreel\" cannot be read")) << text;
    }
}
