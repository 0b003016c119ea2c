#include "export/ClipWriter.h"

#include "common/Exception.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/opt.h>
}

namespace {

constexpr int IoBufferSize = 1 << 16;

// Chapter times count microseconds.
constexpr AVRational ChapterTimeBase{1, 1000000};

int64_t ChapterTime(double seconds)
{
    return std::max<int64_t>(0, std::llround(seconds * 1e6));
}

} // namespace

TClipWriter::TClipWriter(const QString& fileName, int width, int height, AVRational timeBase, AVRational frameRate,
                         const AVCodecContext* sound, const std::vector<TClipChapter>& chapters)
    : mFile(fileName)
{
    // FFmpeg writes through the atomic file; a write error is kept to be
    // reported with the file's name and the system's reason.
    auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferSize));
    mIo = avio_alloc_context(
        buffer, IoBufferSize, 1, this, nullptr,
        [](void* opaque, uint8_t* data, int size) -> int {
            auto* self = static_cast<TClipWriter*>(opaque);
            try {
                self->mFile.Write(reinterpret_cast<const char*>(data), size);
                return size;
            } catch (const Exception& error) {
                if (self->mWriteError.isEmpty())
                    self->mWriteError = error.Message();
                return AVERROR(EIO);
            }
        },
        [](void* opaque, int64_t offset, int whence) -> int64_t {
            auto* self = static_cast<TClipWriter*>(opaque);
            try {
                if (whence & AVSEEK_SIZE)
                    return self->mFile.Size();
                return self->mFile.Seek(offset, whence & ~AVSEEK_FORCE);
            } catch (const Exception& error) {
                if (self->mWriteError.isEmpty())
                    self->mWriteError = error.Message();
                return AVERROR(EIO);
            }
        });
    if (!mIo) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    Check(avformat_alloc_output_context2(&mOutput, nullptr, "mp4", nullptr));
    mOutput->pb = mIo;
    mOutput->flags |= AVFMT_FLAG_CUSTOM_IO;

    const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
    if (!h264)
        Fail(QStringLiteral("This FFmpeg has no H.264 encoder (libx264)."));
    mVideo.reset(avcodec_alloc_context3(h264));
    mVideo->width = width;
    mVideo->height = height;
    mVideo->pix_fmt = AV_PIX_FMT_YUV420P;
    mVideo->time_base = timeBase;
    mVideo->framerate = frameRate;
    if (mOutput->oformat->flags & AVFMT_GLOBALHEADER)
        mVideo->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // As many encoding threads as the machine has processors, as ffmpeg's
    // own program takes.
    mVideo->thread_count = 0;
    av_opt_set(mVideo->priv_data, "preset", "veryfast", 0);
    av_opt_set(mVideo->priv_data, "crf", "20", 0);
    Check(avcodec_open2(mVideo.get(), h264, nullptr));
    mVideoStream = avformat_new_stream(mOutput, nullptr);
    mVideoStream->time_base = timeBase;
    mVideoStream->avg_frame_rate = frameRate;
    Check(avcodec_parameters_from_context(mVideoStream->codecpar, mVideo.get()));

    if (sound) {
        const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!aac)
            Fail(QStringLiteral("This FFmpeg has no AAC encoder."));
        mAudio.reset(avcodec_alloc_context3(aac));
        mAudio->sample_fmt = AV_SAMPLE_FMT_FLTP;
        mAudio->sample_rate = sound->sample_rate;
        if (sound->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&mAudio->ch_layout, sound->ch_layout.nb_channels);
        else
            av_channel_layout_copy(&mAudio->ch_layout, &sound->ch_layout);
        mAudio->bit_rate = 128000;
        mAudio->time_base = AVRational{1, sound->sample_rate};
        if (mOutput->oformat->flags & AVFMT_GLOBALHEADER)
            mAudio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        Check(avcodec_open2(mAudio.get(), aac, nullptr));
        mAudioStream = avformat_new_stream(mOutput, nullptr);
        mAudioStream->time_base = mAudio->time_base;
        Check(avcodec_parameters_from_context(mAudioStream->codecpar, mAudio.get()));
    }
    // The muxer makes its chapter track for the chapters there are when the
    // header is written, and fills it in at the end.
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        auto* chapter = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        if (!chapter)
            throw std::bad_alloc();
        chapter->id = static_cast<int64_t>(i + 1);
        chapter->time_base = ChapterTimeBase;
        chapter->start = ChapterTime(chapters[i].Start);
        chapter->end = std::max(chapter->start, ChapterTime(chapters[i].End));
        if (av_dynarray_add_nofree(&mOutput->chapters, reinterpret_cast<int*>(&mOutput->nb_chapters), chapter) < 0) {
            av_free(chapter);
            throw std::bad_alloc();
        }
        av_dict_set(&chapter->metadata, "title", chapters[i].Title.toUtf8().constData(), 0);
    }
    Check(avformat_write_header(mOutput, nullptr));
}

void TClipWriter::MoveChapters(double seconds)
{
    const int64_t shift = std::llround(seconds * 1e6);
    for (unsigned int i = 0; i < mOutput->nb_chapters; ++i) {
        AVChapter* chapter = mOutput->chapters[i];
        chapter->start = std::max<int64_t>(0, chapter->start + shift);
        chapter->end = std::max(chapter->start, chapter->end + shift);
    }
}

TClipWriter::~TClipWriter()
{
    avformat_free_context(mOutput);
    if (mIo)
        av_freep(&mIo->buffer);
    avio_context_free(&mIo);
}

void TClipWriter::Fail(const QString& reason) const
{
    throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(mFile.FileName(), reason));
}

void TClipWriter::Check(int result) const
{
    if (result >= 0)
        return;
    if (!mWriteError.isEmpty())
        throw Exception(mWriteError);
    Fail(FfmpegError(result));
}

void TClipWriter::Drain(AVCodecContext* codec, AVStream* stream)
{
    for (;;) {
        const int received = avcodec_receive_packet(codec, mPacket.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return;
        Check(received);
        av_packet_rescale_ts(mPacket.get(), codec->time_base, stream->time_base);
        mPacket->stream_index = stream->index;
        Check(av_interleaved_write_frame(mOutput, mPacket.get()));
    }
}

void TClipWriter::WriteVideo(const AVFrame* frame)
{
    Check(avcodec_send_frame(mVideo.get(), frame));
    Drain(mVideo.get(), mVideoStream);
}

void TClipWriter::WriteSound(const AVFrame* frame)
{
    Check(avcodec_send_frame(mAudio.get(), frame));
    Drain(mAudio.get(), mAudioStream);
}

void TClipWriter::Finish()
{
    WriteVideo(nullptr);
    if (mAudio)
        WriteSound(nullptr);
    Check(av_write_trailer(mOutput));
    avio_flush(mIo);
    Check(mIo->error);
    mFile.Commit();
}
