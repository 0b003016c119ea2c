#pragma once

#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "common/TimeMapping.h"
#include "tests/support/TestVideos.h"

#include <memory>

// The cursor line's colour, also after video compression.
inline bool IsBlack(QRgb pixel)
{
    return qRed(pixel) < 60 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
}

// A chart over the test clip whose series "frame" holds each frame's number
// at the frame's time, its view the whole clip and its cursor at `seconds` of
// video.
class TFrameChart {
public:
    static constexpr TDateTime Start = 7.0 / 24;

    explicit TFrameChart(double seconds = 0)
    {
        Cursor = Chart.AddSeries(std::make_unique<TChartShape>());
        TFastLineSeries* frames = AddChartSeries(Chart, "frame");
        for (int k = 0; k < TestVideoFps * TestVideoSeconds; ++k)
            frames->AddXY(VideoToChartTime(Start, static_cast<float>(k) / TestVideoFps), k);
        Chart.BottomAxis().SetMinMax(Start, End());
        Time = VideoToChartTime(Start, static_cast<float>(seconds));
        Cursor->SetX0(Time);
        Cursor->SetX1(Time);
        Cursor->SetY0(0);
        Cursor->SetY1(250);
    }

    static TDateTime End() { return VideoToChartTime(Start, static_cast<float>(TestVideoSeconds)); }

    TChart Chart;
    TChartShape* Cursor;
    TDateTime Time;
};
