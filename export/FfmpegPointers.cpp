#include "export/FfmpegPointers.h"

#include <new>

QString FfmpegError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

TFfmpegPtr<AVFrame> NewFrame()
{
    TFfmpegPtr<AVFrame> frame(av_frame_alloc());
    if (!frame)
        throw std::bad_alloc();
    return frame;
}

TFfmpegPtr<AVPacket> NewPacket()
{
    TFfmpegPtr<AVPacket> packet(av_packet_alloc());
    if (!packet)
        throw std::bad_alloc();
    return packet;
}
