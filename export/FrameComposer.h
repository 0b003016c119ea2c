#pragma once

#include "export/FfmpegPointers.h"

#include <QImage>

// Puts a clip's frames together in the encoder's 4:2:0 format: the source
// frame, scaled to the clip's width, above the chart band. Only the band goes
// through a colour conversion from RGB; the video's planes are scaled (or
// copied) as they are.
class TFrameComposer {
public:
    // Width and heights are even.
    TFrameComposer(int width, int videoHeight, int bandHeight);

    // The composed frame; valid until the next call.
    AVFrame* Compose(const AVFrame& source, const QImage& band);

private:
    int mWidth;
    int mVideoHeight;
    int mBandHeight;
    TFfmpegPtr<SwsContext> mVideoScale;
    TFfmpegPtr<SwsContext> mBandScale;
    TFfmpegPtr<AVFrame> mFrame = NewFrame();
};
