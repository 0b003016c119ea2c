#pragma once

#include "export/FfmpegPointers.h"

#include <QImage>
#include <QString>

// The decoded frames of one stream (the first video or the first audio
// stream) of a media file, each with its exact presentation time in seconds
// from the start of the file.
class TMediaFrames {
public:
    // Throws "Cannot open video "<name>". <reason>", also when the file has
    // no stream of that kind.
    TMediaFrames(const QString& fileName, AVMediaType type);

    const AVStream& Stream() const { return *mFormat->streams[mStream]; }
    const AVCodecContext& Codec() const { return *mCodec; }
    // The length of the file in seconds; 0 where it is not known.
    double Duration() const;

    // Goes back to the last key frame at or before `seconds`.
    void Seek(double seconds);
    // The next frame, or nullptr at the end of the stream; valid until the
    // next call. Throws on a decoding error.
    AVFrame* Next();
    // The presentation time of a frame that Next() gave.
    double Seconds(const AVFrame& frame) const;

private:
    [[noreturn]] void Fail(const QString& reason) const;

    QString mFileName;
    TInputPtr mFormat;
    TFfmpegPtr<AVCodecContext> mCodec;
    TFfmpegPtr<AVFrame> mFrame = NewFrame();
    TFfmpegPtr<AVPacket> mPacket = NewPacket();
    int mStream = -1;
    bool mDraining = false;
};

// The picture shown at `seconds` of a video: the last frame at or before it,
// or the first frame for a time before that; null when there is no frame.
QImage VideoFrameAt(const QString& fileName, double seconds);
// A decoded video frame as a picture.
QImage FrameImage(const AVFrame& frame);
