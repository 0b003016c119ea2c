#include "video/MpvVideoSurface.h"

TMpvVideoSurface::TMpvVideoSurface(std::function<void()> beforeDestroy, QWidget* parent)
    : QWidget(parent), mBeforeDestroy(std::move(beforeDestroy))
{
    setAttribute(Qt::WA_NativeWindow);
    // Only this widget needs a window of its own, not the panels around it.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
}

TMpvVideoSurface::~TMpvVideoSurface()
{
    mBeforeDestroy();
}
