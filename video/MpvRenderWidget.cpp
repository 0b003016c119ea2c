#include "video/MpvRenderWidget.h"

#include "video/PlayerErrors.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <mpv/client.h>
#include <mpv/render_gl.h>

namespace {

void* GetProcAddress(void*, const char* name)
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

} // namespace

TMpvRenderWidget::TMpvRenderWidget(mpv_handle* mpv, QWidget* parent)
    : QOpenGLWidget(parent), mMpv(mpv)
{
}

TMpvRenderWidget::~TMpvRenderWidget()
{
    // QOpenGLWidget's own destructor destroys the GL context after this one
    // has run; its signal must not reach this half-destroyed object.
    if (QOpenGLContext* glContext = context())
        disconnect(glContext, nullptr, this, nullptr);
    FreeRenderContext();
}

void TMpvRenderWidget::FreeRenderContext()
{
    if (!mRenderContext)
        return;
    makeCurrent();
    mpv_render_context_free(mRenderContext);
    mRenderContext = nullptr;
    doneCurrent();
}

void TMpvRenderWidget::OnMpvRenderUpdate(void* widget)
{
    auto* self = static_cast<TMpvRenderWidget*>(widget);
    QMetaObject::invokeMethod(self, [self] { self->DrawPendingFrame(false); }, Qt::QueuedConnection);
}

void TMpvRenderWidget::DrawPendingFrame(bool now)
{
    if (!mRenderContext || !(mpv_render_context_update(mRenderContext) & MPV_RENDER_UPDATE_FRAME))
        return;
    if (now)
        repaint();
    else
        update();
}

void TMpvRenderWidget::ShowPicture(bool show)
{
    mShowPicture = show;
    update();
}

void TMpvRenderWidget::initializeGL()
{
    // Qt may throw the GL context away (when the widget moves to another top
    // level window); mpv's resources on it must go first.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
            &TMpvRenderWidget::FreeRenderContext, Qt::UniqueConnection);
    if (mRenderContext)
        return;

    mpv_opengl_init_params glInit{&GetProcAddress, nullptr};
    const char* apiType = MPV_RENDER_API_TYPE_OPENGL;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(apiType)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    const int result = mpv_render_context_create(&mRenderContext, mMpv, params);
    if (result < 0) {
        mRenderContext = nullptr;
        qWarning("%s", qPrintable(PlayerErrorMessage(result, QStringLiteral("OpenGL rendering"))));
        return;
    }
    mpv_render_context_set_update_callback(mRenderContext, &OnMpvRenderUpdate, this);
}

void TMpvRenderWidget::paintGL()
{
    if (!mRenderContext || !mShowPicture) {
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()),
                       qRound(width() * ratio), qRound(height() * ratio), 0};
    int flipY = 1;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(mRenderContext, params);
}
