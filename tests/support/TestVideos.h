#pragma once

#include <QImage>
#include <QString>

class QWidget;

// Clips for the tests, made with ffmpeg once per test process in a temporary
// folder that lives as long as the process.
//
// Picture (320x240, 25 fps, 10 s, H.264 with a single key frame at the start):
// - the top band (y < 60) shows the frame number in binary, eight blocks
//   40 px wide, the block k from the left white for bit k (value 2^k) set and
//   black otherwise;
// - the middle band (60 <= y < 120) is grey;
// - the bottom band (y >= 120) shows four bars: red, green, blue, white.
//
// Two more clips show the same picture with the tone, their frames numbered
// from 0 in the same way, and their sound running on a little past the start
// of the last frame:
// - VariableRate: 95 frames at uneven times, VariableRateFrameTime;
// - Ntsc: 90 frames at 30000/1001 fps, NtscFrameTime.
// KeyFramed is WithSound with a key frame at every whole second.
struct TTestVideos {
    QString WithSound;    // the picture and a 440 Hz tone
    QString WithoutSound; // the same picture, no audio stream
    QString AudioOnly;    // the tone alone, no video stream (.m4a)
    QString TextAsMp4;    // a text file named .mp4
    QString Missing;      // a path where no file exists
    QString VariableRate;
    QString Ntsc;
    QString KeyFramed;
};

constexpr int TestVideoWidth = 320;
constexpr int TestVideoHeight = 240;
constexpr int TestVideoFps = 25;
constexpr double TestVideoSeconds = 10.0;

// Frames 0 to 49 follow each other after 20 ms, 50 to 69 after 100 ms and 70
// to 94 after 40 ms.
constexpr int VariableRateFrames = 95;
double VariableRateFrameTime(int frame);
constexpr int NtscFrames = 90;
double NtscFrameTime(int frame);

// Makes the clips on the first call; throws std::runtime_error when ffmpeg
// fails.
const TTestVideos& TestVideos();

// A clip of variable frame rate with the tone, made on the first call from
// the first 4 s of the picture above: every frame of the first second, then
// every third frame, each keeping its time and its frame number.
QString VariableRateTestVideo();

// The picture above at 30000/1001 fps for NtscLongFrames frames (about 8 s),
// without sound, made on the first call; frame n starts at NtscFrameTime(n).
constexpr int NtscLongFrames = 240;
QString NtscLongTestVideo();

// The pixels of a video panel as the screen shows them (the panel's window
// must be on top).
QImage GrabVideoPanel(QWidget* panel);

// Reading a grabbed picture of a test clip, fitted into the image with its
// aspect ratio kept. The frame number is -1 when a block is neither clearly
// white nor clearly black (no picture, or not a test clip).
int TestVideoFrameNumber(const QImage& image);
bool ShowsTestVideoBars(const QImage& image);
