#pragma once

#include "export/FfmpegPointers.h"
#include "export/VideoFrames.h"

class TClipWriter;

// The source's sound from `from` seconds on, re-encoded into the clip: its
// samples are decoded, converted for the encoder and cut at the span's start,
// so that the clip's sound starts with the clip's first frame.
class TClipSound {
public:
    TClipSound(const QString& fileName, double from);

    const AVCodecContext& Source() const { return mFrames.Codec(); }
    // Encodes the sound of the clip's first `seconds`, in whole encoder
    // frames.
    void WriteUntil(double seconds, TClipWriter& writer);
    // Encodes the rest up to `seconds` exactly (or to the end of the source's
    // sound).
    void Finish(double seconds, TClipWriter& writer);

private:
    // Decodes another frame into the queue; false at the end of the sound.
    bool Decode(const AVCodecContext& encoder);
    void Encode(qint64 untilSample, bool whole, TClipWriter& writer);

    TMediaFrames mFrames;
    double mFrom;
    TFfmpegPtr<SwrContext> mResample;
    TFfmpegPtr<AVAudioFifo> mQueue;
    // Span samples decoded into the queue so far (negative while decoding
    // before the span) and encoded so far.
    qint64 mDecoded = 0;
    qint64 mEncoded = 0;
    bool mStarted = false;
    bool mEnded = false;
};
