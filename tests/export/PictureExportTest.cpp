#include "export/PictureExport.h"

#include "common/Exception.h"
#include "export/ChartBand.h"
#include "export/VideoFrames.h"
#include "tests/export/FrameChart.h"

#include <QFile>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <gtest/gtest.h>

namespace {

TEST(VideoFrames, TheFrameAtATimeIsTheLastOneAtOrBeforeIt)
{
    struct Case {
        double Seconds;
        int Frame;
    };
    for (const Case& c : {Case{0, 0}, Case{-1, 0}, Case{4.0, 100}, Case{4.039, 100}, Case{4.04, 101}, Case{9.96, 249},
                          Case{60, 249}}) {
        SCOPED_TRACE(c.Seconds);
        EXPECT_EQ(TestVideoFrameNumber(VideoFrameAt(TestVideos().WithSound, c.Seconds)), c.Frame);
    }
    EXPECT_THROW(VideoFrameAt(TestVideos().TextAsMp4, 0), Exception);
}

// The band's cursor sits on the column where the chart draws the cursor's
// time, drawn by the chart itself or left for the caller.
TEST(ChartBand, TheCursorIsDrawnAtItsTimeColumn)
{
    TFrameChart chart(4.0);
    for (const bool withCursor : {true, false}) {
        QImage image(640, 300, QImage::Format_RGB32);
        TDrawnChart drawn;
        {
            QCPPainter painter(&image);
            drawn = DrawChartBand(painter, image.rect(), chart.Chart, chart.Time, QLocale(QStringLiteral("en_US")),
                                  withCursor);
        }
        ASSERT_TRUE(image.rect().contains(drawn.Plot));
        EXPECT_LT(drawn.Plot.bottom(), image.height() - BandTextHeight());
        const int column = static_cast<int>(std::lround(TimeColumn(drawn, chart.Time)));
        EXPECT_NEAR(column, drawn.Plot.left() + 0.4 * drawn.Plot.width(), 1.0);
        const int y = drawn.Plot.top() + drawn.Plot.height() / 8;
        EXPECT_EQ(IsBlack(image.pixel(column, y)), withCursor);
        EXPECT_FALSE(IsBlack(image.pixel(column - 6, y)));
    }
}

TEST(PictureExport, WritesTheFrameAboveTheChartInEachFormat)
{
    TFrameChart chart(4.0);
    const QImage frame = VideoFrameAt(TestVideos().WithSound, 4.0);
    QTemporaryDir folder;
    const QLocale locale(QStringLiteral("en_US"));

    const QString png = folder.filePath(QStringLiteral("view.PNG"));
    ExportPicture(chart.Chart, chart.Time, frame, QSize(640, 800), locale, png);
    const QImage written(png);
    ASSERT_EQ(written.size(), QSize(640, 800));
    EXPECT_EQ(TestVideoFrameNumber(written.copy(0, 0, 640, 480)), 100);

    struct Case {
        const char* Name;
        QByteArray Start;
    };
    for (const Case& c : {Case{"view.svg", "<?xml"}, Case{"view.pdf", "%PDF"}}) {
        SCOPED_TRACE(c.Name);
        const QString name = folder.filePath(QString::fromLatin1(c.Name));
        ExportPicture(chart.Chart, chart.Time, frame, QSize(640, 800), locale, name);
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        EXPECT_TRUE(content.startsWith(c.Start));
        // The chart's title text is kept as text.
        if (c.Start == "<?xml") {
            EXPECT_TRUE(content.contains("frame"));
        }
    }
    EXPECT_THROW(ExportPicture(chart.Chart, chart.Time, frame, QSize(640, 800), locale, folder.filePath("view.bmp")),
                 Exception);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 3);
}

} // namespace
