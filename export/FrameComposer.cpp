#include "export/FrameComposer.h"

#include <new>

TFrameComposer::TFrameComposer(int width, int videoHeight, int bandHeight)
    : mWidth(width), mVideoHeight(videoHeight), mBandHeight(bandHeight)
{
    mFrame->format = AV_PIX_FMT_YUV420P;
    mFrame->width = width;
    mFrame->height = videoHeight + bandHeight;
    if (av_frame_get_buffer(mFrame.get(), 0) < 0)
        throw std::bad_alloc();
    mBandScale.reset(sws_getContext(width, bandHeight, AV_PIX_FMT_BGRA, width, bandHeight, AV_PIX_FMT_YUV420P,
                                    SWS_POINT, nullptr, nullptr, nullptr));
    if (!mBandScale)
        throw std::bad_alloc();
}

AVFrame* TFrameComposer::Compose(const AVFrame& source, const QImage& band)
{
    // The encoder may still hold the last frame's pictures.
    if (av_frame_make_writable(mFrame.get()) < 0)
        throw std::bad_alloc();
    // Made again only when the source's size or format changes.
    mVideoScale.reset(sws_getCachedContext(mVideoScale.release(), source.width, source.height,
                                           static_cast<AVPixelFormat>(source.format), mWidth, mVideoHeight,
                                           AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!mVideoScale)
        throw std::bad_alloc();
    sws_scale(mVideoScale.get(), source.data, source.linesize, 0, source.height, mFrame->data, mFrame->linesize);

    uint8_t* bandPlanes[3];
    for (int p = 0; p < 3; ++p) {
        const int rows = p == 0 ? mVideoHeight : mVideoHeight / 2;
        bandPlanes[p] = mFrame->data[p] + static_cast<std::ptrdiff_t>(rows) * mFrame->linesize[p];
    }
    const uint8_t* bandSource[] = {band.constBits()};
    const int bandStride[] = {static_cast<int>(band.bytesPerLine())};
    sws_scale(mBandScale.get(), bandSource, bandStride, 0, mBandHeight, bandPlanes, mFrame->linesize);
    return mFrame.get();
}
