#pragma once

#include "chart/ChartView.h"
#include "export/ClipChapters.h"
#include "common/DateTime.h"
#include "common/LoadProgress.h"

#include <QLocale>
#include <QString>

class TChart;

struct TClipOptions {
    // The span of the video, in seconds from its start, both ends included.
    double From = 0;
    double To = 0;
    // Half the source's width and height.
    bool HalfSize = false;
    // The chart band's height in pixels; 0 for a third of the frame's height.
    // It is never less than the rows of values and 20 px of chart.
    int BandHeight = 0;
    // The chart shows the whole span and stays; otherwise it starts from the
    // given view and scrolls as during playback.
    bool WholeSpanInView = false;
    // Marked moments and spans, in seconds of the video: those in the span
    // become the clip's chapters.
    std::vector<TClipChapter> Marks;
};

// What the chart of a clip shows: the chart with its series, the chart time
// of the video's start, the view at the start and the end of the full view.
struct TClipChart {
    TChart& Chart;
    TDateTime StartTime;
    TView View;
    TDateTime FullMax;
};

// Writes the span of the video as an MP4 clip: each frame of the span, in
// order and with its own presentation time (a variable frame rate is kept),
// above the chart as it looks with the cursor at exactly that frame's time.
// The source's sound is re-encoded as AAC for the span. The marks in the
// span are its chapters, timed from its first frame. The file appears
// under its name only once complete; `progress` hears of the frames written,
// and a cancel there throws LoadCancelled and leaves no file.
void ExportClip(const QString& videoFileName, const TClipChart& chart, const TClipOptions& options,
                const QLocale& locale, const QString& fileName, TLoadProgress* progress = nullptr);

// The sizes of a clip's frames for a source of width x height: the video part
// and the band under it, each even.
struct TClipSize {
    int Width;
    int VideoHeight;
    int BandHeight;
};
TClipSize ClipSizeFor(int width, int height, const TClipOptions& options);
