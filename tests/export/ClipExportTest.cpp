#include "export/ClipExport.h"

#include "common/Exception.h"
#include "export/ClipBand.h"
#include "export/VideoFrames.h"
#include "tests/export/ExportFaults.h"
#include "tests/export/FrameChart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct DecodedFrame {
    double Seconds;
    QImage Image;
};

// The frames of a video from `from` to `to` seconds.
std::vector<DecodedFrame> DecodeFrames(const QString& fileName, double from = 0, double to = 1e9)
{
    TMediaFrames frames(fileName, AVMEDIA_TYPE_VIDEO);
    std::vector<DecodedFrame> result;
    while (const AVFrame* frame = frames.Next()) {
        const double seconds = frames.Seconds(*frame);
        if (seconds >= from - 0.0005 && seconds <= to + 0.0005)
            result.push_back({seconds, FrameImage(*frame)});
    }
    return result;
}

double SoundSeconds(const QString& fileName)
{
    TMediaFrames sound(fileName, AVMEDIA_TYPE_AUDIO);
    qint64 samples = 0;
    while (const AVFrame* frame = sound.Next())
        samples += frame->nb_samples;
    return static_cast<double>(samples) / sound.Codec().sample_rate;
}

// How far the shown picture is from `a`, and from `b`, on average over the
// pixels where a and b differ (0 to 255 each).
std::pair<double, double> Distances(const QImage& shown, const QImage& a, const QImage& b)
{
    double toA = 0;
    double toB = 0;
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) == b.pixel(x, y))
                continue;
            const int seen = qGray(shown.pixel(x, y));
            toA += std::abs(seen - qGray(a.pixel(x, y)));
            toB += std::abs(seen - qGray(b.pixel(x, y)));
            ++count;
        }
    }
    return {toA / std::max(count, 1), toB / std::max(count, 1)};
}

TClipChart WholeVideo(TFrameChart& chart)
{
    return {chart.Chart, TFrameChart::Start, {TFrameChart::Start, TFrameChart::End()}, TFrameChart::End()};
}

// Frame N of the clip is source frame N of the span, at its own time, with
// the cursor on that time's column and the values of that time under the
// chart; the sound lasts as long as the frames. The chart shows the whole
// span, or scrolls from a narrower view as during playback.
TEST(ClipExport, EachFrameShowsItsSourceFrameWithTheCursorAndValuesAtItsTime)
{
    struct Case {
        const char* Name;
        QString Video;
        double From;
        double To;
        bool HalfSize;
        // The view's width in seconds from the video's start; 0 for the
        // whole span in view.
        double ViewSeconds;
    };
    const Case cases[] = {
        {"constant rate", TestVideos().WithSound, 2.0, 3.0, false, 0},
        {"variable rate", VariableRateTestVideo(), 0.0, 3.0, false, 0},
        {"half size", TestVideos().WithSound, 0.5, 1.0, true, 0},
        {"scrolling view", TestVideos().WithSound, 0.0, 2.0, false, 0.5},
    };
    const QLocale locale(QStringLiteral("en_US"));
    QTemporaryDir folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TFrameChart chart;
        TClipOptions options;
        options.From = c.From;
        options.To = c.To;
        options.HalfSize = c.HalfSize;
        options.WholeSpanInView = c.ViewSeconds == 0;
        // Taller than a third of these small frames, for a plot to look at.
        options.BandHeight = 160;
        const TView view{TFrameChart::Start, VideoToChartTime(TFrameChart::Start, static_cast<float>(c.ViewSeconds))};
        const QString clipName = folder.filePath(QStringLiteral("clip.mp4"));
        ExportClip(c.Video, {chart.Chart, TFrameChart::Start, view, TFrameChart::End()}, options, locale, clipName);

        const std::vector<DecodedFrame> source = DecodeFrames(c.Video, c.From, c.To);
        const std::vector<DecodedFrame> clip = DecodeFrames(clipName);
        ASSERT_GT(source.size(), 2U);
        ASSERT_EQ(clip.size(), source.size());
        const TClipSize size = ClipSizeFor(TestVideoWidth, TestVideoHeight, options);
        ASSERT_EQ(clip[0].Image.size(), QSize(size.Width, size.VideoHeight + size.BandHeight));

        // The bands as the export draws them, frame after frame, for the
        // cursor's column and the rows of values.
        const TDateTime from = VideoToChartTime(TFrameChart::Start, static_cast<float>(c.From));
        const TDateTime to = VideoToChartTime(TFrameChart::Start, static_cast<float>(c.To));
        std::vector<QImage> rowsShown;
        std::vector<TDrawnChart> drawn;
        std::vector<TDateTime> times;
        {
            TClipBand expected(chart.Chart, QSize(size.Width, size.BandHeight),
                               options.WholeSpanInView ? TView{from, to} : view, TFrameChart::End(), locale);
            for (const DecodedFrame& frame : source) {
                times.push_back(VideoToChartTime(TFrameChart::Start, static_cast<float>(frame.Seconds)));
                rowsShown.push_back(expected.At(times.back()).Rows.copy());
                drawn.push_back(expected.Drawn());
            }
        }
        if (!options.WholeSpanInView) {
            EXPECT_GT(drawn.back().TimeMin, drawn.front().TimeMin);
        }
        const QRect rows(0, size.VideoHeight + size.BandHeight - BandTextHeight(), size.Width, BandTextHeight());
        for (const std::size_t i : {std::size_t{0}, clip.size() / 2, clip.size() - 1}) {
            SCOPED_TRACE(i);
            const QImage& frame = clip[i].Image;
            EXPECT_EQ(TestVideoFrameNumber(frame.copy(0, 0, size.Width, size.VideoHeight)),
                      TestVideoFrameNumber(source[i].Image));
            EXPECT_NEAR(clip[i].Seconds, source[i].Seconds - source[0].Seconds, 1e-6);
            // A band 160 px wide has no room for a plot and the values.
            if (c.HalfSize)
                continue;

            const QRect plot = drawn[i].Plot;
            const int column = static_cast<int>(std::lround(TimeColumn(drawn[i], times[i])));
            const int y = size.VideoHeight + plot.top() + plot.height() / 8;
            // The line is 3 px wide, cut at the plot's edges.
            EXPECT_TRUE(IsBlack(frame.pixel(std::clamp(column, plot.left(), plot.right()), y)));
            EXPECT_FALSE(IsBlack(frame.pixel(column + (column > 8 ? -6 : 6), y)));
            const QImage& other = rowsShown[(i + clip.size() / 2) % clip.size()];
            const auto [toThis, toOther] = Distances(frame.copy(rows), rowsShown[i], other);
            EXPECT_LT(toThis, 0.5 * toOther);
        }
        const double frameSeconds = clip[clip.size() - 1].Seconds - clip[clip.size() - 2].Seconds;
        const double sound = SoundSeconds(clipName);
        EXPECT_GE(sound, clip.back().Seconds);
        EXPECT_LE(sound, clip.back().Seconds + frameSeconds + 0.03);
    }
}

TEST(ClipExport, KeepsTheSourceSizeOrHalvesItWithABandOfAThirdByDefault)
{
    struct Case {
        int Width;
        int Height;
        bool HalfSize;
        int BandHeight;
        TClipSize Expected;
    };
    for (const Case& c : {Case{1920, 1080, false, 0, {1920, 1080, 360}}, Case{1280, 720, true, 0, {640, 360, 120}},
                          Case{321, 241, false, 0, {320, 240, 80}}, Case{640, 480, false, 201, {640, 480, 200}},
                          Case{320, 120, false, 0, {320, 120, 60}}}) {
        TClipOptions options;
        options.HalfSize = c.HalfSize;
        options.BandHeight = c.BandHeight;
        const TClipSize size = ClipSizeFor(c.Width, c.Height, options);
        EXPECT_EQ(size.Width, c.Expected.Width);
        EXPECT_EQ(size.VideoHeight, c.Expected.VideoHeight);
        EXPECT_EQ(size.BandHeight, c.Expected.BandHeight);
    }
}

// A write failure (a file size limit, as a full disk) or a cancel leaves no
// clip and the file that was there untouched.
TEST(ClipExport, AFailureOrACancelKeepsTheFileThatWasThere)
{
    QTemporaryDir folder;
    const QString clipName = folder.filePath(QStringLiteral("clip.mp4"));
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "write failure");
        {
            QFile old(clipName);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old clip");
        }
        TFrameChart chart;
        TClipOptions options;
        options.From = 0;
        options.To = 2;
        if (cancel) {
            TCancelAtFirstStep progress;
            EXPECT_THROW(ExportClip(TestVideos().WithSound, WholeVideo(chart), options, QLocale(), clipName, &progress),
                         LoadCancelled);
        } else {
            const QString message = MessageUnderFileSizeLimit(16 * 1024, [&] {
                ExportClip(TestVideos().WithSound, WholeVideo(chart), options, QLocale(), clipName);
            });
            EXPECT_EQ(message, QStringLiteral("Cannot create file \"%1\". File too large").arg(clipName));
        }
        QFile kept(clipName);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray("old clip"));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("clip.mp4")});
    }
}

} // namespace
