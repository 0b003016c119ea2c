#include "export/ExportDialog.h"

#include "export/VideoFrames.h"
#include "tests/export/FrameChart.h"
#include "tests/support/ErrorOf.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TExportSource Source(TFrameChart& chart)
{
    TExportSource source;
    source.Chart = &chart.Chart;
    source.VideoFileName = TestVideos().WithSound;
    source.StartTime = TFrameChart::Start;
    source.View = {VideoToChartTime(TFrameChart::Start, 1.0f), VideoToChartTime(TFrameChart::Start, 1.4f)};
    source.FullMax = TFrameChart::End();
    source.Cursor = chart.Time;
    source.Duration = static_cast<float>(TestVideoSeconds);
    source.WindowSize = QSize(500, 400);
    return source;
}

// Each choice refuses to write over the video or a video added to it,
// however its name is spelled, and leaves it whole.
TEST(ExportDialog, NoChoiceWritesOverTheVideosItShows)
{
    TFrameChart chart(1.2);
    QTemporaryDir folder;
    const QString video = folder.filePath(QStringLiteral("run.mp4"));
    const QString side = folder.filePath(QStringLiteral("side.mp4"));
    ASSERT_TRUE(QFile::copy(TestVideos().WithSound, video));
    ASSERT_TRUE(QFile::copy(TestVideos().WithSound, side));
    const qint64 size = QFileInfo(video).size();
    TExportSource source = Source(chart);
    source.VideoFileName = video;
    source.AddedVideos = {side};
    TfrmExport dialog(source, nullptr);
    for (int tab = 0; tab < 3; ++tab) {
        dialog.Choices->setCurrentIndex(tab);
        for (const QString& target : {folder.filePath(QStringLiteral("./run.mp4")), side}) {
            const QString message = ErrorOf([&] { dialog.ExportTo(target); });
            EXPECT_TRUE(message.startsWith(QStringLiteral("Nothing is exported: \"%1\"").arg(target))) << message.toStdString();
        }
    }
    EXPECT_EQ(QFileInfo(video).size(), size);
    EXPECT_EQ(QFileInfo(side).size(), size);
}

// Each choice writes its file from what the window shows: the picture at
// the size asked for, the clip and the data of the span in view.
TEST(ExportDialog, EachChoiceExportsWhatTheWindowShows)
{
    TFrameChart chart(1.2);
    QTemporaryDir folder;
    TfrmExport dialog(Source(chart), nullptr);
    EXPECT_EQ(dialog.PictureWidth->value(), 500);

    dialog.Choices->setCurrentIndex(0);
    dialog.PictureWidth->setValue(300);
    dialog.PictureHeight->setValue(200);
    ASSERT_TRUE(dialog.ExportTo(folder.filePath(QStringLiteral("view.png"))));
    EXPECT_EQ(QImage(folder.filePath(QStringLiteral("view.png"))).size(), QSize(300, 200));

    dialog.Choices->setCurrentIndex(1);
    ASSERT_TRUE(dialog.ExportTo(folder.filePath(QStringLiteral("view.mp4"))));
    TMediaFrames frames(folder.filePath(QStringLiteral("view.mp4")), AVMEDIA_TYPE_VIDEO);
    int count = 0;
    int first = -1;
    while (const AVFrame* frame = frames.Next()) {
        if (count++ == 0)
            first = TestVideoFrameNumber(FrameImage(*frame).copy(0, 0, TestVideoWidth, TestVideoHeight));
    }
    EXPECT_EQ(count, 11);
    EXPECT_EQ(first, 25);

    dialog.Choices->setCurrentIndex(2);
    ASSERT_TRUE(dialog.ExportTo(folder.filePath(QStringLiteral("view.csv"))));
    QFile data(folder.filePath(QStringLiteral("view.csv")));
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = data.readAll().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QByteArray("Time,frame"));
    EXPECT_TRUE(lines[1].endsWith(",25"));
    // The chart's view is as it was.
    EXPECT_EQ(chart.Chart.BottomAxis().Minimum(), TFrameChart::Start);
}

TEST(ExportDialog, KeepsItsSettingsForTheSession)
{
    TFrameChart chart;
    {
        TfrmExport dialog(Source(chart), nullptr);
        dialog.Choices->setCurrentIndex(1);
        dialog.PictureFormat->setCurrentIndex(2);
        dialog.PictureWidth->setValue(640);
        dialog.ClipSpan->button(1)->setChecked(true);
        dialog.ClipHalfSize->setChecked(true);
        dialog.ClipBandHeight->setValue(120);
        QTemporaryDir folder;
        dialog.Choices->setCurrentIndex(2);
        dialog.ExportTo(folder.filePath(QStringLiteral("kept.csv")));
    }
    TfrmExport again(Source(chart), nullptr);
    EXPECT_EQ(again.Choices->currentIndex(), 2);
    EXPECT_EQ(again.PictureFormat->currentIndex(), 2);
    EXPECT_EQ(again.PictureWidth->value(), 640);
    EXPECT_EQ(again.ClipSpan->checkedId(), 1);
    EXPECT_TRUE(again.ClipHalfSize->isChecked());
    EXPECT_EQ(again.ClipBandHeight->value(), 120);
}

} // namespace
