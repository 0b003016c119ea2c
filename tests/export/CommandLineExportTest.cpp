#include "export/CommandLineExport.h"

#include "chartdata/ChartDataFile.h"
#include "chartdata/ChartDataIO.h"
#include "export/VideoFrames.h"
#include "multivideo/VideoArrangement.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/HugeChartDataFile.h"
#include "tests/export/FrameChart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(CommandLineExport, ReadsVideoPositions)
{
    struct Case {
        const char* Text;
        std::optional<double> Seconds;
    };
    for (const Case& c : {Case{"00:01:30.500", 90.5}, Case{"1:30", 90.0}, Case{"90", 90.0}, Case{"7.25", 7.25},
                          Case{"02:00:00", 7200.0}, Case{"00:61:00", std::nullopt}, Case{"00:00:75", std::nullopt},
                          Case{"1:2:3:4", std::nullopt}, Case{"", std::nullopt}, Case{"-1", std::nullopt},
                          Case{"00:00:01.2345", std::nullopt}}) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ParseVideoPosition(QString::fromLatin1(c.Text)), c.Seconds);
    }
}

// The program itself, started without a display: exit status 0 and the file
// for an export, a message on standard error and another status otherwise.
TEST(CommandLineExport, RunsWithoutADisplayAndTellsFailuresByItsExitStatus)
{
    QTemporaryDir folder;
    const QString video = folder.filePath(QStringLiteral("run.mp4"));
    ASSERT_TRUE(QFile::copy(TestVideos().WithSound, video));
    {
        TFrameChart chart;
        SaveChartDataFile(chart.Chart, TFrameChart::Start, TFrameChart::End(), ChartDataFileName(video));
    }
    const QString picture = folder.filePath(QStringLiteral("at.png"));
    const QString clip = folder.filePath(QStringLiteral("span.mp4"));
    struct Case {
        QStringList Arguments;
        int Status;
        const char* Says;
    };
    const Case cases[] = {
        {{"--help"}, 0, "--export-picture OUT.png|OUT.svg|OUT.pdf"},
        {{"--export-picture", picture, "--at", "00:00:04.000", video}, 0, ""},
        {{"--export-clip", clip, "--from", "00:00:01.000", "--to", "00:00:01.400", video}, 0, ""},
        {{"--export-clip", clip, folder.filePath("missing.mp4")}, 1, "missing.mp4"},
        {{"--export-picture", folder.filePath("at.bmp"), video}, 2, "at.bmp"},
        {{"--export-clip", clip, "--at", "1", video}, 2, "--at belongs to --export-picture"},
        {{"--export-clip", clip, "--to", "soon", video}, 2, "--to soon is no position"},
        // Last: with the refusal missing, the video would be gone from here on.
        {{"--export-clip", video, video}, 1, "Nothing is exported"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Arguments.join(QLatin1Char(' ')).toStdString());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(PLOTREEL_PROGRAM), c.Arguments);
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitCode(), c.Status);
        const QString said = QString::fromLocal8Bit(c.Status == 0 ? program.readAllStandardOutput()
                                                                   : program.readAllStandardError());
        EXPECT_TRUE(said.contains(QString::fromLatin1(c.Says))) << said.toStdString();
    }
    // The picture shows the frame at --at, the clip the frames of its span.
    const QImage shown(picture);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(TestVideoFrameNumber(shown.copy(0, 0, TestVideoWidth, TestVideoHeight)), 100);
    TMediaFrames frames(clip, AVMEDIA_TYPE_VIDEO);
    std::vector<int> numbers;
    while (const AVFrame* frame = frames.Next())
        numbers.push_back(TestVideoFrameNumber(FrameImage(*frame).copy(0, 0, TestVideoWidth, TestVideoHeight)));
    EXPECT_EQ(numbers, (std::vector<int>{25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35}));
    EXPECT_TRUE(TMediaFrames(video, AVMEDIA_TYPE_VIDEO).Duration() > 1) << "the video is whole";
}

// Whatever path names it, an export never replaces the video, its chart data
// file, its arrangement file or a video added to it.
TEST(CommandLineExport, NeverWritesOverAFileOfTheVideo)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QString video = dir.filePath(QStringLiteral("run.mp4"));
    ASSERT_TRUE(QFile::copy(TestVideos().WithSound, video));
    {
        TFrameChart chart;
        SaveChartDataFile(chart.Chart, TFrameChart::Start, TFrameChart::End(), ChartDataFileName(video));
    }
    const QString side = dir.filePath(QStringLiteral("cams/side.mp4"));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("cams")));
    ASSERT_TRUE(QFile::copy(TestVideos().WithSound, side));
    TArrangement arrangement;
    arrangement.Videos = {{side, 0.5}};
    SaveArrangement(video, arrangement);
    const QStringList inputs{video, ChartDataFileName(video), ArrangementFileName(video), side};
    std::vector<QByteArray> before;
    for (const QString& input : inputs) {
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        before.push_back(file.readAll());
    }
    const auto link = [&](const QString& to, const QString& name, bool hard) {
        const QString path = dir.filePath(name);
        if (hard)
            EXPECT_EQ(::link(QFile::encodeName(to).constData(), QFile::encodeName(path).constData()), 0);
        else
            EXPECT_TRUE(QFile::link(to, path));
        return path;
    };
    const struct {
        QStringList Arguments;
        QString Names;
    } cases[] = {
        {{"--export-clip", dir.filePath("cams/../run.mp4"), video}, video},
        {{"--export-clip", link(video, "soft.mp4", false), video}, video},
        {{"--export-clip", link(video, "hard.mp4", true), video}, video},
        {{"--export-clip", link(side, "side-link.mp4", false), video}, side},
        {{"--export-picture", link(ChartDataFileName(video), "chart.png", false), video}, ChartDataFileName(video)},
        {{"--export-picture", link(ArrangementFileName(video), "videos.pdf", true), video}, ArrangementFileName(video)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments.join(QLatin1Char(' ')).toStdString());
        const QString message = ErrorOf([&] { RunExportCommand(ParseExportCommand(QStringList{"plotreel"} + c.Arguments)); });
        EXPECT_TRUE(message.startsWith(QStringLiteral("Nothing is exported"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QStringLiteral("\"%1\"").arg(c.Names))) << message.toStdString();
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        QFile file(inputs[int(i)]);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll() == before[i]) << inputs[int(i)].toStdString();
    }
}

// A chart data file larger than the memory its cgroup leaves the program
// (1 GB: a memory.max that the program sees in a mount namespace of its own)
// is refused with a message: the room for its points would be granted, and
// the kernel would kill the program while the points are written into it.
TEST(CommandLineExport, AChartDataFileLargerThanTheCgroupAllowsIsRefused)
{
    if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
        GTEST_SKIP() << "a mount namespace takes root and unshare";
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QString video = dir.filePath(QStringLiteral("run.mp4"));
    ASSERT_TRUE(QFile::copy(TestVideos().WithSound, video));
    // One series of 1.6 GB, sparse on the disk.
    WriteSparseChartDataFile(ChartDataFileName(video), {100000000});
    const QString cgroup = dir.filePath(QStringLiteral("cgroup"));
    ASSERT_TRUE(dir.mkpath(QStringLiteral("cgroup")));
    for (const auto& [name, value] : {std::pair<const char*, const char*>{"memory.max", "1073741824\n"},
                                      {"memory.current", "0\n"}}) {
        QFile file(cgroup + QLatin1Char('/') + QLatin1String(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(value);
    }
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral("unshare"),
                  {"-m", "sh", "-c", R"(mount --bind "$1" /sys/fs/cgroup && exec "$2" --export-picture "$3" "$4")", "sh",
                   cgroup, QStringLiteral(PLOTREEL_PROGRAM), dir.filePath(QStringLiteral("at.png")), video});
    ASSERT_TRUE(program.waitForFinished(120000));
    const QString said = QString::fromLocal8Bit(program.readAllStandardError());
    if (said.startsWith(QStringLiteral("mount")))
        GTEST_SKIP() << "no mount namespace here: " << said.toStdString();
    EXPECT_EQ(program.exitCode(), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("does not fit in memory: its 100000000 points need 1700 MB, and 1074 MB are free.")))
        << said.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("at.png"))));
}

} // namespace
