#pragma once

#include <QImage>
#include <QString>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

// The pictures of a video file's first video stream, decoded with their exact
// presentation times (in seconds from the start of the file).
class TVideoFrames {
public:
    // Throws "Cannot open video "<name>". <reason>".
    explicit TVideoFrames(const QString& fileName);
    ~TVideoFrames();
    TVideoFrames(const TVideoFrames&) = delete;
    TVideoFrames& operator=(const TVideoFrames&) = delete;

    int Width() const;
    int Height() const;

    // The picture shown at `seconds`: the last frame at or before it, or the
    // first frame for a time before that; null when the video has no frame.
    QImage FrameAt(double seconds);

private:
    // The next decoded frame into mFrame; false at the end of the stream.
    bool Next();
    double FrameSeconds() const;
    [[noreturn]] void Fail(const QString& reason) const;

    QString mFileName;
    AVFormatContext* mFormat = nullptr;
    AVCodecContext* mCodec = nullptr;
    AVFrame* mFrame = nullptr;
    AVPacket* mPacket = nullptr;
    int mStream = -1;
    bool mDraining = false;
};

// The text of an FFmpeg error code.
QString FfmpegError(int code);
