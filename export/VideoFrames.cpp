#include "export/VideoFrames.h"

#include "common/Exception.h"

#include <cmath>

TMediaFrames::TMediaFrames(const QString& fileName, AVMediaType type) : mFileName(fileName)
{
    const QByteArray path = fileName.toLocal8Bit();
    AVFormatContext* format = nullptr;
    if (const int error = avformat_open_input(&format, path.constData(), nullptr, nullptr); error < 0)
        Fail(FfmpegError(error));
    mFormat.reset(format);
    if (const int error = avformat_find_stream_info(format, nullptr); error < 0)
        Fail(FfmpegError(error));
    const AVCodec* decoder = nullptr;
    mStream = av_find_best_stream(format, type, -1, -1, &decoder, 0);
    if (mStream < 0)
        Fail(type == AVMEDIA_TYPE_VIDEO ? QStringLiteral("It has no video stream.")
                                        : QStringLiteral("It has no sound track."));
    mCodec.reset(avcodec_alloc_context3(decoder));
    if (!mCodec)
        throw std::bad_alloc();
    avcodec_parameters_to_context(mCodec.get(), format->streams[mStream]->codecpar);
    mCodec->pkt_timebase = format->streams[mStream]->time_base;
    // Decoded on as many threads as the machine has processors.
    mCodec->thread_count = 0;
    if (const int error = avcodec_open2(mCodec.get(), decoder, nullptr); error < 0)
        Fail(FfmpegError(error));
}

void TMediaFrames::Fail(const QString& reason) const
{
    throw Exception(QStringLiteral("Cannot open video \"%1\". %2").arg(mFileName, reason));
}

double TMediaFrames::Seconds(const AVFrame& frame) const
{
    const AVStream& stream = Stream();
    const int64_t start = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
    return static_cast<double>(frame.best_effort_timestamp - start) * av_q2d(stream.time_base);
}

double TMediaFrames::Duration() const
{
    return mFormat->duration > 0 ? static_cast<double>(mFormat->duration) / AV_TIME_BASE : 0;
}

void TMediaFrames::Seek(double seconds)
{
    const AVStream& stream = Stream();
    const int64_t start = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
    av_seek_frame(mFormat.get(), mStream, start + static_cast<int64_t>(std::floor(seconds / av_q2d(stream.time_base))),
                  AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(mCodec.get());
    mDraining = false;
}

AVFrame* TMediaFrames::Next()
{
    for (;;) {
        const int received = avcodec_receive_frame(mCodec.get(), mFrame.get());
        if (received == 0)
            return mFrame.get();
        if (received == AVERROR_EOF || mDraining)
            return nullptr;
        if (received != AVERROR(EAGAIN))
            throw Exception(QStringLiteral("Cannot decode video \"%1\". %2").arg(mFileName, FfmpegError(received)));
        if (av_read_frame(mFormat.get(), mPacket.get()) < 0) {
            mDraining = true;
            avcodec_send_packet(mCodec.get(), nullptr);
            continue;
        }
        // A damaged packet is skipped as players skip it.
        if (mPacket->stream_index == mStream)
            avcodec_send_packet(mCodec.get(), mPacket.get());
        av_packet_unref(mPacket.get());
    }
}

QImage FrameImage(const AVFrame& frame)
{
    QImage image(frame.width, frame.height, QImage::Format_RGB32);
    const TFfmpegPtr<SwsContext> scale(sws_getContext(frame.width, frame.height,
                                                      static_cast<AVPixelFormat>(frame.format), frame.width,
                                                      frame.height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr,
                                                      nullptr));
    uint8_t* planes[] = {image.bits()};
    const int strides[] = {static_cast<int>(image.bytesPerLine())};
    sws_scale(scale.get(), frame.data, frame.linesize, 0, frame.height, planes, strides);
    return image;
}

QImage VideoFrameAt(const QString& fileName, double seconds)
{
    TMediaFrames frames(fileName, AVMEDIA_TYPE_VIDEO);
    frames.Seek(seconds);
    // Half a millisecond of slack: positions come in single precision.
    const double limit = seconds + 0.0005;
    const TFfmpegPtr<AVFrame> kept = NewFrame();
    // The first frame decoded is kept whatever its time.
    while (AVFrame* frame = frames.Next()) {
        if (kept->data[0] && frames.Seconds(*frame) > limit)
            break;
        av_frame_unref(kept.get());
        av_frame_move_ref(kept.get(), frame);
    }
    return kept->data[0] ? FrameImage(*kept) : QImage();
}
