#include "export/FrameComposer.h"

#include <cstring>
#include <new>

namespace {

TFfmpegPtr<SwsContext> RgbToYuv(int width, int height)
{
    TFfmpegPtr<SwsContext> scale(sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                                                SWS_POINT, nullptr, nullptr, nullptr));
    if (!scale)
        throw std::bad_alloc();
    return scale;
}

void Allocate(AVFrame& frame, int width, int height)
{
    frame.format = AV_PIX_FMT_YUV420P;
    frame.width = width;
    frame.height = height;
    if (av_frame_get_buffer(&frame, 0) < 0)
        throw std::bad_alloc();
}

// Converts an RGB picture into the planes from row `top` of the frame on.
void ConvertInto(SwsContext* scale, const QImage& image, AVFrame& frame, int top)
{
    uint8_t* planes[3];
    for (int p = 0; p < 3; ++p)
        planes[p] = frame.data[p] + static_cast<std::ptrdiff_t>(p == 0 ? top : top / 2) * frame.linesize[p];
    const uint8_t* source[] = {image.constBits()};
    const int stride[] = {static_cast<int>(image.bytesPerLine())};
    sws_scale(scale, source, stride, 0, image.height(), planes, frame.linesize);
}

} // namespace

TFrameComposer::TFrameComposer(int width, int videoHeight, int bandHeight)
    : mWidth(width), mVideoHeight(videoHeight), mChartHeight(bandHeight - BandTextHeight()),
      mChartScale(RgbToYuv(width, mChartHeight)), mRowsScale(RgbToYuv(width, BandTextHeight()))
{
    Allocate(*mFrame, width, videoHeight + bandHeight);
    Allocate(*mChart, width, mChartHeight);
}

AVFrame* TFrameComposer::Compose(const AVFrame& source, const TBandFrame& band)
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

    if (band.Serial != mChartSerial) {
        ConvertInto(mChartScale.get(), band.Chart, *mChart, 0);
        mChartSerial = band.Serial;
    }
    for (int p = 0; p < 3; ++p) {
        const int rows = p == 0 ? mChartHeight : mChartHeight / 2;
        const int top = p == 0 ? mVideoHeight : mVideoHeight / 2;
        const int bytes = p == 0 ? mWidth : mWidth / 2;
        for (int y = 0; y < rows; ++y)
            std::memcpy(mFrame->data[p] + static_cast<std::ptrdiff_t>(top + y) * mFrame->linesize[p],
                        mChart->data[p] + static_cast<std::ptrdiff_t>(y) * mChart->linesize[p],
                        static_cast<std::size_t>(bytes));
    }
    // The cursor line in black: the lowest luma, neutral chroma.
    const QRect cursor = band.Cursor.translated(0, mVideoHeight);
    for (int y = cursor.top(); y <= cursor.bottom(); ++y)
        std::memset(mFrame->data[0] + static_cast<std::ptrdiff_t>(y) * mFrame->linesize[0] + cursor.left(), 16,
                    static_cast<std::size_t>(cursor.width()));
    for (int p = 1; p < 3 && !cursor.isEmpty(); ++p) {
        for (int y = cursor.top() / 2; y <= cursor.bottom() / 2; ++y)
            std::memset(mFrame->data[p] + static_cast<std::ptrdiff_t>(y) * mFrame->linesize[p] + cursor.left() / 2,
                        128, static_cast<std::size_t>(cursor.right() / 2 - cursor.left() / 2 + 1));
    }
    ConvertInto(mRowsScale.get(), band.Rows, *mFrame, mVideoHeight + mChartHeight);
    return mFrame.get();
}
