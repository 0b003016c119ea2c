#include "export/VideoFrames.h"

#include "common/Exception.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cmath>

QString FfmpegError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

TVideoFrames::TVideoFrames(const QString& fileName) : mFileName(fileName)
{
    const QByteArray path = fileName.toLocal8Bit();
    if (const int error = avformat_open_input(&mFormat, path.constData(), nullptr, nullptr); error < 0)
        Fail(FfmpegError(error));
    if (const int error = avformat_find_stream_info(mFormat, nullptr); error < 0)
        Fail(FfmpegError(error));
    const AVCodec* decoder = nullptr;
    mStream = av_find_best_stream(mFormat, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (mStream < 0)
        Fail(QStringLiteral("It has no video stream."));
    mCodec = avcodec_alloc_context3(decoder);
    mFrame = av_frame_alloc();
    mPacket = av_packet_alloc();
    if (!mCodec || !mFrame || !mPacket)
        Fail(FfmpegError(AVERROR(ENOMEM)));
    avcodec_parameters_to_context(mCodec, mFormat->streams[mStream]->codecpar);
    if (const int error = avcodec_open2(mCodec, decoder, nullptr); error < 0)
        Fail(FfmpegError(error));
}

TVideoFrames::~TVideoFrames()
{
    av_packet_free(&mPacket);
    av_frame_free(&mFrame);
    avcodec_free_context(&mCodec);
    avformat_close_input(&mFormat);
}

void TVideoFrames::Fail(const QString& reason) const
{
    // Only the constructor fails this way: the destructor does not run, so
    // the parts made so far go here.
    AVPacket* packet = mPacket;
    AVFrame* frame = mFrame;
    AVCodecContext* codec = mCodec;
    AVFormatContext* format = mFormat;
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    throw Exception(QStringLiteral("Cannot open video \"%1\". %2").arg(mFileName, reason));
}

int TVideoFrames::Width() const
{
    return mCodec->width;
}

int TVideoFrames::Height() const
{
    return mCodec->height;
}

double TVideoFrames::FrameSeconds() const
{
    const AVStream* stream = mFormat->streams[mStream];
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    return static_cast<double>(mFrame->best_effort_timestamp - start) * av_q2d(stream->time_base);
}

bool TVideoFrames::Next()
{
    for (;;) {
        const int received = avcodec_receive_frame(mCodec, mFrame);
        if (received == 0)
            return true;
        if (received == AVERROR_EOF)
            return false;
        if (mDraining)
            return false;
        const int read = av_read_frame(mFormat, mPacket);
        if (read < 0) {
            mDraining = true;
            avcodec_send_packet(mCodec, nullptr);
            continue;
        }
        if (mPacket->stream_index == mStream)
            avcodec_send_packet(mCodec, mPacket);
        av_packet_unref(mPacket);
    }
}

QImage TVideoFrames::FrameAt(double seconds)
{
    const AVStream* stream = mFormat->streams[mStream];
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    av_seek_frame(mFormat, mStream, start + static_cast<int64_t>(std::floor(seconds / av_q2d(stream->time_base))),
                  AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(mCodec);
    mDraining = false;
    // Half a millisecond of slack: positions come in single precision.
    const double limit = seconds + 0.0005;
    AVFrame* kept = av_frame_alloc();
    // The first frame decoded is kept whatever its time.
    while (Next()) {
        if (kept->data[0] && FrameSeconds() > limit)
            break;
        av_frame_unref(kept);
        av_frame_move_ref(kept, mFrame);
    }
    QImage image;
    if (kept->data[0]) {
        image = QImage(kept->width, kept->height, QImage::Format_RGB32);
        SwsContext* scale = sws_getContext(kept->width, kept->height, static_cast<AVPixelFormat>(kept->format),
                                           kept->width, kept->height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr,
                                           nullptr, nullptr);
        uint8_t* planes[] = {image.bits()};
        const int strides[] = {static_cast<int>(image.bytesPerLine())};
        sws_scale(scale, kept->data, kept->linesize, 0, kept->height, planes, strides);
        sws_freeContext(scale);
    }
    av_frame_free(&kept);
    return image;
}
