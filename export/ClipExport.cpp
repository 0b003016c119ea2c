#include "export/ClipExport.h"

#include "common/Exception.h"
#include "common/TimeMapping.h"
#include "export/ClipBand.h"
#include "export/ClipEncoder.h"
#include "export/ClipSound.h"
#include "export/ClipWriter.h"
#include "export/FrameComposer.h"
#include "export/VideoFrames.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace {

// Half a millisecond: span ends given to the millisecond take in the frame
// that lies on them.
constexpr double Slack = 0.0005;

int Even(int value)
{
    return std::max(2, value & ~1);
}

// The view that the clip starts with: the chart's view, moved to start at
// the span's start when that is not in it.
TView StartView(const TClipChart& chart, TDateTime from, TDateTime to, bool wholeSpan)
{
    if (wholeSpan)
        return {from, std::max(to, from + 0.001 / SecondsPerDay)};
    TView view = chart.View;
    if (from < view.Min || from > view.Max) {
        const double width = view.Max - view.Min;
        view = {from, from + width};
        if (view.Max > chart.FullMax)
            view = {std::max(chart.FullMax - width, std::min(from, chart.FullMax)), chart.FullMax};
    }
    return view;
}

} // namespace

TClipSize ClipSizeFor(int width, int height, const TClipOptions& options)
{
    const int divisor = options.HalfSize ? 2 : 1;
    const int videoHeight = Even(height / divisor);
    const int band = options.BandHeight > 0 ? options.BandHeight : videoHeight / 3;
    return {Even(width / divisor), videoHeight, Even(std::max(band, BandTextHeight() + 20))};
}

void ExportClip(const QString& videoFileName, const TClipChart& chart, const TClipOptions& options,
                const QLocale& locale, const QString& fileName, TLoadProgress* progress)
{
    if (!(options.To >= options.From))
        throw Exception(QStringLiteral("Cannot export the clip: its end lies before its start."));
    // The encoders' reports of their settings are of no use here.
    av_log_set_level(AV_LOG_ERROR);
    TMediaFrames video(videoFileName, AVMEDIA_TYPE_VIDEO);
    // A video whose sound cannot be read makes a clip without sound.
    std::optional<TClipSound> sound;
    try {
        sound.emplace(videoFileName, options.From);
    } catch (const Exception&) {
        sound.reset();
    }
    const AVStream& stream = video.Stream();
    const TClipSize size = ClipSizeFor(video.Codec().width, video.Codec().height, options);
    AVRational frameRate = stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
    if (frameRate.num <= 0 || frameRate.den <= 0)
        frameRate = AVRational{25, 1};
    TClipWriter writer(fileName, size.Width, size.VideoHeight + size.BandHeight, stream.time_base, frameRate,
                       sound ? &sound->Source() : nullptr, ClipChapters(options.Marks, options.From, options.To));

    const TDateTime from = VideoToChartTime(chart.StartTime, static_cast<float>(options.From));
    const TDateTime to = VideoToChartTime(chart.StartTime, static_cast<float>(options.To));
    TClipBand band(chart.Chart, QSize(size.Width, size.BandHeight),
                   StartView(chart, from, to, options.WholeSpanInView), chart.FullMax, locale);
    TFrameComposer composer(size.Width, size.VideoHeight, size.BandHeight);

    const qint64 expected = std::max<qint64>(1, std::llround((options.To - options.From) * av_q2d(frameRate)) + 1);
    qint64 written = 0;
    int64_t firstPts = 0;
    int64_t lastPts = 0;
    double lastSeconds = 0;
    double frameSeconds = av_q2d(av_inv_q(frameRate));
    video.Seek(options.From);
    TClipEncoder encoder(writer, sound ? &*sound : nullptr);
    while (AVFrame* frame = video.Next()) {
        const double seconds = video.Seconds(*frame);
        if (seconds < options.From - Slack)
            continue;
        if (seconds > options.To + Slack)
            break;
        const int64_t sourcePts = frame->best_effort_timestamp;
        if (written == 0) {
            firstPts = sourcePts;
            // The clip's clock starts at its first frame, not at the span's start.
            writer.MoveChapters(options.From - seconds);
        }
        AVFrame* out = composer.Compose(*frame, band.At(VideoToChartTime(chart.StartTime, static_cast<float>(seconds))));
        // Presentation times count from the span's first frame; they must rise.
        out->pts = std::max(sourcePts - firstPts, written == 0 ? int64_t{0} : lastPts + 1);
        lastPts = out->pts;
        if (frame->pkt_duration > 0)
            frameSeconds = static_cast<double>(frame->pkt_duration) * av_q2d(stream.time_base);
        lastSeconds = static_cast<double>(out->pts) * av_q2d(stream.time_base);
        TFfmpegPtr<AVFrame> queued(av_frame_clone(out));
        if (!queued)
            throw std::bad_alloc();
        encoder.Push(std::move(queued), lastSeconds);
        ++written;
        ReportLoadProgress(progress, written, std::max(expected, written));
    }
    encoder.Finish();
    if (written == 0)
        throw Exception(QStringLiteral("Cannot export the clip: the video has no frame from %1 s to %2 s.")
                            .arg(options.From)
                            .arg(options.To));
    if (sound)
        sound->Finish(lastSeconds + frameSeconds, writer);
    writer.Finish();
}
