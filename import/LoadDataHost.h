#pragma once

#include <QPoint>

class QWidget;
class TChart;

// What the "Load Chart Data" dialog needs of the window that runs it: the
// chart that sources add their series to, the length of the open video, and
// where the dialog shows.
class TLoadDataHost {
public:
    virtual ~TLoadDataHost() = default;

    // The window the dialog belongs to.
    virtual QWidget* HostWindow() = 0;
    virtual TChart& TargetChart() = 0;
    // Seconds; 0 while no video is open.
    virtual float TargetVideoDuration() const = 0;
    // The global position of the dialog's top-left corner.
    virtual QPoint DialogPosition() const = 0;
};
