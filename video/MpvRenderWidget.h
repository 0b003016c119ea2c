#pragma once

#include <QOpenGLWidget>

struct mpv_handle;
struct mpv_render_context;

// Draws the picture of an mpv handle through mpv's OpenGL render API. The
// widget only renders; the handle, its options and its events belong to the
// player that created the widget. mpv fits the picture into the widget and
// keeps its aspect ratio, filling the rest with black.
class TMpvRenderWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    TMpvRenderWidget(mpv_handle* mpv, QWidget* parent);
    ~TMpvRenderWidget() override;

    // True once the render context exists, i.e. mpv can show video.
    bool CanRender() const { return mRenderContext != nullptr; }
    // Frees the render context with the GL context current. Must run before
    // the mpv handle is destroyed.
    void FreeRenderContext();
    // Draws the frame mpv has ready, if any, before returning. For callers
    // that block the event loop while mpv works: mpv's video output waits
    // for each frame to be drawn.
    void DrawPendingFrame() { DrawPendingFrame(true); }
    // Black instead of mpv's picture while false: mpv may still hold the last
    // frame of a file it has ended.
    void ShowPicture(bool show);

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    // Called by mpv on one of its own threads: only posts OnRenderUpdate to
    // the UI thread.
    static void OnMpvRenderUpdate(void* widget);
    // Repaints now or schedules a repaint when mpv has a new frame.
    void DrawPendingFrame(bool now);

    mpv_handle* mMpv;
    mpv_render_context* mRenderContext = nullptr;
    bool mShowPicture = true;
};
