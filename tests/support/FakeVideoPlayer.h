#pragma once

#include "common/Exception.h"
#include "video/VideoPlayer.h"

#include <QString>
#include <QMap>

#include <algorithm>

// A player without media: the test says how long the video is and raises its
// position and stop events itself.
class FakeVideoPlayer : public TVideoPlayer {
public:
    float Duration = 90;
    float Position = 0;
    QString OpenedFile;
    QString FailWith;
    // Files that this player and those it makes cannot open, with the
    // message that says why.
    QMap<QString, QString> Unplayable;
    int SeekCount = 0;
    int ScrubCount = 0;
    float FrameSeconds = 0.04f;
    double Speed = 1;
    QSize Picture{320, 240};
    bool Muted = false;
    bool Dimmed = false;

    void Open(const QString& fileName) override
    {
        Close();
        if (!FailWith.isEmpty())
            throw Exception(FailWith);
        if (Unplayable.contains(fileName))
            throw Exception(Unplayable.value(fileName));
        OpenedFile = fileName;
    }
    void Close() override
    {
        OpenedFile.clear();
        mPlaying = false;
    }
    void Play() override
    {
        if (!OpenedFile.isEmpty())
            mPlaying = true;
    }
    void Pause() override
    {
        if (!OpenedFile.isEmpty())
            mPlaying = false;
    }
    void SetPosition(float seconds) override
    {
        if (OpenedFile.isEmpty())
            return;
        Position = seconds;
        ++SeekCount;
    }
    float GetPosition() override { return OpenedFile.isEmpty() ? -1.0f : Position; }
    // The frame at Position, and the clock when the test sets one.
    std::optional<double> Clock;
    TPlayingPosition PlayingPosition() override { return {GetPosition(), Clock}; }
    float GetDuration() override { return OpenedFile.isEmpty() ? -1.0f : Duration; }
    float FrameDuration() override { return OpenedFile.isEmpty() ? -1.0f : FrameSeconds; }
    // Frames lie FrameSeconds apart from 0 on; a step shows its frame at once.
    void StepFrames(int frames) override
    {
        if (OpenedFile.isEmpty())
            return;
        mPlaying = false;
        Position = std::clamp(Position + frames * FrameSeconds, 0.0f, std::max(0.0f, Duration - FrameSeconds));
        ++SeekCount;
        if (OnFrameShown)
            OnFrameShown(this, Position);
    }
    void ShowLastFrame() override
    {
        if (OpenedFile.isEmpty())
            return;
        mPlaying = false;
        const double last = std::max(0.0, double(Duration) - FrameSeconds);
        Position = static_cast<float>(last);
        ++SeekCount;
        if (OnFrameShown)
            OnFrameShown(this, last);
    }
    // A scrub shows its target at once.
    void ScrubTo(float seconds) override
    {
        if (OpenedFile.isEmpty())
            return;
        Position = seconds;
        ++ScrubCount;
        if (OnScrubShown)
            OnScrubShown(this, seconds);
    }
    void SetSpeed(double speed) override { Speed = speed; }
    QSize PictureSize() override { return OpenedFile.isEmpty() ? QSize() : Picture; }
    void SetMuted(bool muted) override { Muted = muted; }
    void SetDimmed(bool dimmed) override { Dimmed = dimmed; }
    // A player of the same length, picture and frame rate.
    std::unique_ptr<TVideoPlayer> NewPlayer() const override
    {
        auto player = std::make_unique<FakeVideoPlayer>();
        player->Duration = Duration;
        player->FrameSeconds = FrameSeconds;
        player->Picture = Picture;
        player->Unplayable = Unplayable;
        return player;
    }

    void ReportPosition(float seconds)
    {
        Position = seconds;
        if (OnPosition)
            OnPosition(this, seconds);
    }
    void ReportStop()
    {
        mPlaying = false;
        if (OnStop)
            OnStop(this);
    }
};
