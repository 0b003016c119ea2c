// Files kept for the user: the same file behind other paths, and a damaged
// file set aside instead of being written over.
#include "common/DamagedFile.h"
#include "common/FileIdentity.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

TEST(Files, OneFileIsKnownBehindEveryPathThatLeadsToIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString video = dir.filePath(QStringLiteral("run.mp4"));
    PutFile(video, "frames");
    PutFile(dir.filePath(QStringLiteral("other.mp4")), "frames");
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("sub"))));
    ASSERT_TRUE(QFile::link(video, dir.filePath(QStringLiteral("link.mp4"))));
    ASSERT_EQ(::link(QFile::encodeName(video).constData(), QFile::encodeName(dir.filePath("hard.mp4")).constData()), 0);

    const struct {
        QString Path;
        bool Same;
    } cases[] = {
        {video, true},
        {dir.filePath(QStringLiteral("sub/../run.mp4")), true},
        {dir.filePath(QStringLiteral("./run.mp4")), true},
        {dir.filePath(QStringLiteral("link.mp4")), true},
        {dir.filePath(QStringLiteral("hard.mp4")), true},
        {dir.filePath(QStringLiteral("other.mp4")), false},
        {dir.filePath(QStringLiteral("missing.mp4")), false},
        {QString(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SameFile(c.Path, video), c.Same) << c.Path.toStdString();
    EXPECT_FALSE(SameFile(dir.filePath("missing.mp4"), dir.filePath("missing.mp4")));
}

TEST(Files, DamagedFileIsKeptUnderTheFirstFreeName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("clip.bcd"));
    PutFile(path + QStringLiteral(".damaged"), "older");
    PutFile(path + QStringLiteral(".damaged.1"), "old");
    PutFile(path, "damaged");
    EXPECT_EQ(KeepDamagedFile(path), path + QStringLiteral(".damaged.2"));
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(FileContent(path + QStringLiteral(".damaged")), "older");
    EXPECT_EQ(FileContent(path + QStringLiteral(".damaged.1")), "old");
    EXPECT_EQ(FileContent(path + QStringLiteral(".damaged.2")), "damaged");
}

} // namespace
