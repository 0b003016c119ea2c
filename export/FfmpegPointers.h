#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <QString>

#include <memory>

// FFmpeg's objects owned by unique pointers that free them as FFmpeg wants.
struct TFfmpegFree {
    void operator()(AVCodecContext* p) const { avcodec_free_context(&p); }
    void operator()(AVFrame* p) const { av_frame_free(&p); }
    void operator()(AVPacket* p) const { av_packet_free(&p); }
    void operator()(SwsContext* p) const { sws_freeContext(p); }
    void operator()(SwrContext* p) const { swr_free(&p); }
    void operator()(AVAudioFifo* p) const { av_audio_fifo_free(p); }
};

template <class T>
using TFfmpegPtr = std::unique_ptr<T, TFfmpegFree>;

// An input file, closed as it was opened.
struct TInputFree {
    void operator()(AVFormatContext* p) const { avformat_close_input(&p); }
};
using TInputPtr = std::unique_ptr<AVFormatContext, TInputFree>;

// The text of an FFmpeg error code.
QString FfmpegError(int code);

// A new frame or packet; throws std::bad_alloc when there is no memory.
TFfmpegPtr<AVFrame> NewFrame();
TFfmpegPtr<AVPacket> NewPacket();
