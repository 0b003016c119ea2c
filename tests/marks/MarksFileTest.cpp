#include "marks/MarksFile.h"

#include "tests/support/ErrorOf.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Read(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(MarksFile, TheSectionComesBackWholeAndTheRestOfTheFileStays)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("run.plotreel");
    EXPECT_TRUE(LoadMarksSection(name).empty());
    Write(name, R"({"videos": [{"path": "side.mp4", "offset": 0.5}], "later": {"kept": true}})");
    TMark mark;
    mark.Seconds = 37 / 29.97;
    mark.Length = 0.1;
    mark.Category = 8;
    mark.Note = "a \"quoted\", multi\nline note – 制动";
    SaveMarksSection(name, {mark, TMark{}});
    const std::vector<TMark> back = LoadMarksSection(name);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].Seconds, mark.Seconds);
    EXPECT_EQ(back[0].Length, mark.Length);
    EXPECT_EQ(back[0].Category, 8);
    EXPECT_EQ(back[0].Note, mark.Note);
    const QJsonObject object = QJsonDocument::fromJson(Read(name)).object();
    EXPECT_TRUE(object.value("later").toObject().value("kept").toBool());
    EXPECT_EQ(object.value("videos").toArray().size(), 1);

    // Without marks the section goes; a file with nothing else goes too.
    SaveMarksSection(name, {});
    EXPECT_FALSE(QJsonDocument::fromJson(Read(name)).object().contains("marks"));
    Write(name, "{}");
    SaveMarksSection(name, {mark});
    EXPECT_TRUE(QJsonDocument::fromJson(Read(name)).object().value("videos").isArray());
    SaveMarksSection(name, {});
    EXPECT_FALSE(QFile::exists(name));
}

// A file that is no JSON object is never saved over; one whose marks are
// damaged is guarded by the window, which saves nothing into a file it could
// not read.
TEST(MarksFile, DamageIsNamedAndAFileThatIsNoObjectIsNeverSavedOver)
{
    QTemporaryDir folder;
    const QString name = folder.filePath("run.plotreel");
    const QByteArray texts[] = {"{ not json", "[1, 2]", R"({"marks": 3})", R"({"marks": [{"seconds": -1}]})",
                                R"({"marks": [{"seconds": 1, "category": 10}]})", R"({"marks": [{"seconds": 1, "length": "x"}]})"};
    for (const QByteArray& text : texts) {
        Write(name, text);
        const QString error = ErrorOf([&] { LoadMarksSection(name); });
        EXPECT_TRUE(error.startsWith(QStringLiteral("The marks in \"%1\" cannot be read: ").arg(name))) << error.toStdString();
        if (!QJsonDocument::fromJson(text).isObject()) {
            EXPECT_FALSE(ErrorOf([&] { SaveMarksSection(name, {TMark{}}); }).isEmpty()) << text.constData();
            EXPECT_EQ(Read(name), text);
        }
    }
}
