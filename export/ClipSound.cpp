#include "export/ClipSound.h"

#include "common/Exception.h"
#include "export/ClipWriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

TClipSound::TClipSound(const QString& fileName, double from) : mFrames(fileName, AVMEDIA_TYPE_AUDIO), mFrom(from)
{
    mFrames.Seek(from);
}

bool TClipSound::Decode(const AVCodecContext& encoder)
{
    const AVFrame* frame = mFrames.Next();
    if (!frame)
        return false;
    if (!mResample) {
        SwrContext* resample = nullptr;
        AVChannelLayout in = frame->ch_layout;
        AVChannelLayout defaultLayout{};
        if (in.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&defaultLayout, in.nb_channels);
            in = defaultLayout;
        }
        AVChannelLayout out = encoder.ch_layout;
        swr_alloc_set_opts2(&resample, &out, encoder.sample_fmt, encoder.sample_rate, &in,
                            static_cast<AVSampleFormat>(frame->format), frame->sample_rate, 0, nullptr);
        mResample.reset(resample);
        if (!resample || swr_init(resample) < 0)
            throw Exception(QStringLiteral("Cannot convert the sound of the video for the clip."));
        mQueue.reset(av_audio_fifo_alloc(encoder.sample_fmt, encoder.ch_layout.nb_channels, encoder.frame_size * 4));
        if (!mQueue)
            throw std::bad_alloc();
    }
    const int room = swr_get_out_samples(mResample.get(), frame->nb_samples);
    const int channels = encoder.ch_layout.nb_channels;
    std::vector<std::vector<float>> planes(static_cast<std::size_t>(channels),
                                           std::vector<float>(static_cast<std::size_t>(std::max(room, 1))));
    std::vector<uint8_t*> out;
    for (auto& plane : planes)
        out.push_back(reinterpret_cast<uint8_t*>(plane.data()));
    const int count = swr_convert(mResample.get(), out.data(), room, const_cast<const uint8_t**>(frame->extended_data),
                                  frame->nb_samples);
    if (count <= 0)
        return true;
    if (!mStarted) {
        mStarted = true;
        mDecoded = std::llround((mFrames.Seconds(*frame) - mFrom) * encoder.sample_rate);
        // Sound that starts after the span's start gets silence before it.
        if (mDecoded > 0) {
            std::vector<std::vector<float>> silence(static_cast<std::size_t>(channels),
                                                    std::vector<float>(static_cast<std::size_t>(mDecoded)));
            std::vector<void*> pointers;
            for (auto& plane : silence)
                pointers.push_back(plane.data());
            av_audio_fifo_write(mQueue.get(), pointers.data(), static_cast<int>(mDecoded));
        }
    }
    // Samples before the span's start are dropped.
    const int skip = mDecoded < 0 ? static_cast<int>(std::min<qint64>(count, -mDecoded)) : 0;
    std::vector<void*> pointers;
    for (auto& plane : planes)
        pointers.push_back(plane.data() + skip);
    if (count > skip)
        av_audio_fifo_write(mQueue.get(), pointers.data(), count - skip);
    mDecoded += count;
    return true;
}

void TClipSound::Encode(qint64 untilSample, bool whole, TClipWriter& writer)
{
    const AVCodecContext& encoder = *writer.SoundCodec();
    const int frameSize = encoder.frame_size;
    while (mEncoded < untilSample) {
        while (!mEnded && mDecoded < mEncoded + frameSize && (mDecoded < untilSample || whole))
            mEnded = !Decode(encoder);
        const qint64 wanted = std::min<qint64>(frameSize, untilSample - mEncoded);
        const int available = mQueue ? av_audio_fifo_size(mQueue.get()) : 0;
        const int count = static_cast<int>(std::min<qint64>(wanted, available));
        if (count <= 0 || (whole && count < frameSize))
            return;
        const TFfmpegPtr<AVFrame> frame = NewFrame();
        frame->nb_samples = count;
        frame->format = encoder.sample_fmt;
        frame->sample_rate = encoder.sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &encoder.ch_layout);
        if (av_frame_get_buffer(frame.get(), 0) < 0)
            throw std::bad_alloc();
        av_audio_fifo_read(mQueue.get(), reinterpret_cast<void**>(frame->data), count);
        frame->pts = mEncoded;
        writer.WriteSound(frame.get());
        mEncoded += count;
    }
}

void TClipSound::WriteUntil(double seconds, TClipWriter& writer)
{
    Encode(std::llround(seconds * writer.SoundCodec()->sample_rate), true, writer);
}

void TClipSound::Finish(double seconds, TClipWriter& writer)
{
    Encode(std::llround(seconds * writer.SoundCodec()->sample_rate), false, writer);
}
