#include "export/ClipChapters.h"
#include "export/ClipExport.h"
#include "tests/export/FrameChart.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TReadChapter {
    double Start;
    double End;
    QString Title;
};

// The chapters ffprobe reads from a file.
std::vector<TReadChapter> ProbeChapters(const QString& fileName)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {"-v", "error", "-show_chapters", "-of", "json", fileName});
    EXPECT_TRUE(probe.waitForFinished(30000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().constData();
    std::vector<TReadChapter> chapters;
    for (const QJsonValue& chapter : QJsonDocument::fromJson(probe.readAllStandardOutput()).object().value("chapters").toArray()) {
        const QJsonObject object = chapter.toObject();
        chapters.push_back({object.value("start_time").toString().toDouble(), object.value("end_time").toString().toDouble(),
                            object.value("tags").toObject().value("title").toString()});
    }
    return chapters;
}

} // namespace

TEST(ClipChapters, MarksInTheSpanAreCutToItAndFollowOneAnother)
{
    const std::vector<TClipChapter> marks{
        {5.0, 5.0, "point"},        {1.0, 3.0, "span reaching in"}, {9.0, 12.0, "span reaching out"},
        {0.5, 0.5, "before"},       {12.5, 12.5, "after"},          {6.0, 8.5, "span overlapped by the next"},
        {7.0, 7.0, "inside a span"}};
    const std::vector<TClipChapter> chapters = ClipChapters(marks, 2.0, 11.0);
    const std::vector<std::tuple<double, double, QString>> expected{
        {0.0, 3.0, "span reaching in"}, {3.0, 4.0, "point"}, {4.0, 5.0, "span overlapped by the next"},
        {5.0, 7.0, "inside a span"},    {7.0, 9.0, "span reaching out"}};
    ASSERT_EQ(chapters.size(), expected.size());
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        EXPECT_DOUBLE_EQ(chapters[i].Start, std::get<0>(expected[i])) << i;
        EXPECT_DOUBLE_EQ(chapters[i].End, std::get<1>(expected[i])) << i;
        EXPECT_EQ(chapters[i].Title, std::get<2>(expected[i])) << i;
    }
}

// ffprobe reads the marks in a clip's span back as its chapters, timed from
// the clip's first frame, their titles whole.
TEST(ClipChapters, AnExportedClipCarriesTheMarksAsChapters)
{
    QTemporaryDir folder;
    TFrameChart chart;
    TClipOptions options;
    options.From = 2.0;
    options.To = 4.0;
    options.WholeSpanInView = true;
    options.Marks = {{2.52, 2.52, "Contact: first touch"},
                     {1.0, 2.4, "Brake: driver, \"hard\""},
                     {3.2, 3.2, "Misfire: zündung 制动"},
                     {5.0, 5.0, "outside"}};
    const QString clipName = folder.filePath("clip.mp4");
    ExportClip(TestVideos().WithoutSound, {chart.Chart, TFrameChart::Start, {TFrameChart::Start, TFrameChart::End()}, TFrameChart::End()},
               options, QLocale::c(), clipName);
    const std::vector<TReadChapter> chapters = ProbeChapters(clipName);
    ASSERT_EQ(chapters.size(), 3u);
    EXPECT_EQ(chapters[0].Title, "Brake: driver, \"hard\"");
    EXPECT_NEAR(chapters[0].Start, 0.0, 1e-3);
    EXPECT_NEAR(chapters[0].End, 0.52, 1e-3);
    EXPECT_EQ(chapters[1].Title, "Contact: first touch");
    EXPECT_NEAR(chapters[1].Start, 0.52, 1e-3);
    EXPECT_EQ(chapters[2].Title, "Misfire: zündung 制动");
    EXPECT_NEAR(chapters[2].Start, 1.2, 1e-3);
    EXPECT_NEAR(chapters[2].End, 2.0, 0.05);

    // A clip without marks has no chapters.
    options.Marks.clear();
    ExportClip(TestVideos().WithoutSound, {chart.Chart, TFrameChart::Start, {TFrameChart::Start, TFrameChart::End()}, TFrameChart::End()},
               options, QLocale::c(), clipName);
    EXPECT_TRUE(ProbeChapters(clipName).empty());
}
