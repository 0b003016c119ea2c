#pragma once

#include "export/ClipBand.h"
#include "export/FfmpegPointers.h"

// Puts a clip's frames together in the encoder's 4:2:0 format: the source
// frame, scaled to the clip's width, above the chart band. The chart part of
// the band is converted from RGB only when it changes; each frame draws its
// cursor line straight into the planes and converts only its rows of values.
class TFrameComposer {
public:
    // Width and heights are even, the band at least BandTextHeight() + 2.
    TFrameComposer(int width, int videoHeight, int bandHeight);

    // The composed frame; valid until the next call.
    AVFrame* Compose(const AVFrame& source, const TBandFrame& band);

private:
    int mWidth;
    int mVideoHeight;
    int mChartHeight;
    TFfmpegPtr<SwsContext> mVideoScale;
    TFfmpegPtr<SwsContext> mChartScale;
    TFfmpegPtr<SwsContext> mRowsScale;
    // The chart part in 4:2:0 and the serial of the picture it was made from.
    TFfmpegPtr<AVFrame> mChart = NewFrame();
    quint64 mChartSerial = 0;
    TFfmpegPtr<AVFrame> mFrame = NewFrame();
};
