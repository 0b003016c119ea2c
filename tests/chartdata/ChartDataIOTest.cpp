#include "chartdata/ChartDataIO.h"

#include "chartdata/ChartDataFile.h"

#include "common/Exception.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QString();
}

void PutFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray FileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Limits the size of files this process may write, as a full disk would:
// writes beyond the limit fail with EFBIG instead of raising SIGXFSZ.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit limit = mOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mOld{};
    void (*mOldHandler)(int);
};

TEST(ChartDataIO, CompanionFileNameReplacesTheVideoExtension)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/videos/clip.mp4", "/videos/clip.bcd"},
        {"/videos/clip", "/videos/clip.bcd"},
        {"/videos/run.2024.05.mov", "/videos/run.2024.05.bcd"},
        {"/videos.old/clip", "/videos.old/clip.bcd"},
        {"/videos.old/clip.avi", "/videos.old/clip.bcd"},
        {"/videos/clip.", "/videos/clip.bcd"},
        {"/videos/.hidden", "/videos/.hidden.bcd"},
        {"/videos/.hidden.mp4", "/videos/.hidden.bcd"},
        {"clip.mp4", "clip.bcd"},
        {"clip", "clip.bcd"},
    };
    for (const auto& [video, expected] : cases)
        EXPECT_EQ(ChartDataFileName(QString::fromUtf8(video)), QString::fromUtf8(expected)) << video;
}

TEST(ChartDataIO, WrittenFileReadsBackAndReplacesThePreviousOne)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("clip.bcd"));
    PutFile(path, QByteArray(1000, 'x'));

    const QByteArray bytes = QByteArray::fromHex("01000000000000E03F000000000000E83F00");
    WriteChartDataFile(path, bytes);
    EXPECT_EQ(FileContent(path), bytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("clip.bcd")});
}

TEST(ChartDataIO, FailedSaveLeavesThePreviousFileIntact)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("clip.bcd"));
    const QByteArray previous(154, 'p');
    PutFile(path, previous);

    QString error;
    {
        const TFileSizeLimit limit(4096);
        error = ErrorOf([&] { WriteChartDataFile(path, QByteArray(64 * 1024, 'n')); });
    }
    // The limit fails the write as a full disk would, and the message says so.
    EXPECT_EQ(error.toStdString(),
              QStringLiteral("Cannot create file \"%1\". %2").arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))).toStdString());
    EXPECT_TRUE(FileContent(path) == previous) << "previous file changed";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("clip.bcd")})
        << "temporary file left behind";
}

TEST(ChartDataIO, FailuresNameTheFileAndTheSystemReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("clip.bcd"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString missing = dir.filePath(QStringLiteral("missing.bcd"));
    const QString inMissingFolder = dir.filePath(QStringLiteral("no/such/folder/clip.bcd"));

    struct TCase {
        const char* Name;
        std::function<void()> Action;
        QString Prefix;
    };
    const TCase cases[] = {
        {"read a missing file", [&] { TChartDataFileReader reader(missing); },
         QStringLiteral("Cannot open file \"%1\". ").arg(missing)},
        {"write over a folder", [&] { WriteChartDataFile(folder, "x"); },
         QStringLiteral("Cannot create file \"%1\". ").arg(folder)},
        {"write into a missing folder", [&] { WriteChartDataFile(inMissingFolder, "x"); },
         QStringLiteral("Cannot create file \"%1\". ").arg(inMissingFolder)},
    };
    for (const TCase& c : cases) {
        const QString error = ErrorOf(c.Action);
        EXPECT_TRUE(error.startsWith(c.Prefix)) << c.Name << ": " << error.toStdString();
        EXPECT_GT(error.size(), c.Prefix.size()) << c.Name << ": no system text";
    }
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// A named pipe would block the reader until some program writes into it.
TEST(ChartDataIO, ReaderRefusesWhatIsNoRegularFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath(QStringLiteral("fifo.bcd"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const std::pair<QString, const char*> cases[] = {
        {fifo, "It is a named pipe, not a regular file."},
        {dir.path(), "It is a folder, not a regular file."},
        {QStringLiteral("/dev/zero"), "It is a device, not a regular file."},
    };
    // Not a structured binding: lambdas cannot capture one in C++17 (clang).
    for (const auto& c : cases) {
        const QString& path = c.first;
        EXPECT_EQ(ErrorOf([&] { TChartDataFileReader reader(path); }),
                  QStringLiteral("Cannot open file \"%1\". %2").arg(path, QLatin1String(c.second)));
    }
}

} // namespace
