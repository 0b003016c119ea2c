#pragma once

#include "common/AtomicFile.h"
#include "export/ClipChapters.h"
#include "export/FfmpegPointers.h"

#include <QString>

#include <vector>

// An MP4 file being written: H.264 video (libx264, preset veryfast, CRF 20,
// 4:2:0) and, where the source has sound, AAC sound. The file appears under
// its name only when Finish() succeeds.
class TClipWriter {
public:
    // `timeBase` counts the video frames' presentation times; `sound` is the
    // source's sound decoder, or null for a clip without sound; the
    // chapters' times are seconds of the clip.
    TClipWriter(const QString& fileName, int width, int height, AVRational timeBase, AVRational frameRate,
                const AVCodecContext* sound, const std::vector<TClipChapter>& chapters = {});
    ~TClipWriter();
    TClipWriter(const TClipWriter&) = delete;
    TClipWriter& operator=(const TClipWriter&) = delete;

    // Moves every chapter by `seconds`, none before the clip's start; before
    // Finish.
    void MoveChapters(double seconds);
    // A 4:2:0 frame of the clip's size, its pts in the video time base.
    void WriteVideo(const AVFrame* frame);
    // The sound encoder: planar float samples at the source's rate and
    // channels, frames of its frame size, pts counting samples.
    const AVCodecContext* SoundCodec() const { return mAudio.get(); }
    void WriteSound(const AVFrame* frame);
    // Flushes the encoders, completes the file and puts it in place.
    void Finish();

private:
    void Drain(AVCodecContext* codec, AVStream* stream);
    [[noreturn]] void Fail(const QString& reason) const;
    void Check(int result) const;

    TAtomicFile mFile;
    AVIOContext* mIo = nullptr;
    AVFormatContext* mOutput = nullptr;
    TFfmpegPtr<AVCodecContext> mVideo;
    TFfmpegPtr<AVCodecContext> mAudio;
    AVStream* mVideoStream = nullptr;
    AVStream* mAudioStream = nullptr;
    TFfmpegPtr<AVPacket> mPacket = NewPacket();
    // The first failure of a write to the file, with the system's reason.
    QString mWriteError;
};
