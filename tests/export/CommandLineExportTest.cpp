#include "export/CommandLineExport.h"

#include "chartdata/ChartDataFile.h"
#include "chartdata/ChartDataIO.h"
#include "export/VideoFrames.h"
#include "tests/export/FrameChart.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
}

} // namespace
