#pragma once

#include <QWidget>

#include <functional>

// The native window that mpv draws the picture into (its "wid" option): mpv
// puts a window of its own inside it, so the video reaches the screen without
// passing through Qt. Qt paints it black wherever mpv shows nothing, as after
// a file has ended.
class TMpvVideoSurface : public QWidget {
    Q_OBJECT
public:
    // beforeDestroy runs first in the destructor, while the native window
    // still exists: mpv has to let go of it before it goes.
    TMpvVideoSurface(std::function<void()> beforeDestroy, QWidget* parent);
    ~TMpvVideoSurface() override;

    // The id of the native window, for mpv's "wid".
    qint64 NativeWindowId() { return static_cast<qint64>(winId()); }

private:
    std::function<void()> mBeforeDestroy;
};
