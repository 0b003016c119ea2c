#include "multivideo/VideoTile.h"

#include <QChildEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace {

const QColor SelectedFrameColor(255, 170, 0);

} // namespace

TVideoTile::TVideoTile(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mCaption = new QLabel(this);
    // The picture is a native window that covers whatever Qt paints below
    // it; the caption needs a window of its own to stay on top.
    mCaption->setAttribute(Qt::WA_NativeWindow);
    mCaption->setAttribute(Qt::WA_DontCreateNativeAncestors);
    mCaption->setAutoFillBackground(true);
    QPalette palette = mCaption->palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    mCaption->setPalette(palette);
    mCaption->setContentsMargins(3, 1, 3, 1);
    mCaption->hide();
}

void TVideoTile::SetFramed(bool framed)
{
    mFramed = framed;
    const int margin = framed ? FrameWidth : 0;
    layout()->setContentsMargins(margin, margin, margin, margin);
    mCaption->move(margin, margin);
    update();
}

void TVideoTile::SetSelected(bool selected)
{
    mSelected = selected;
    update();
}

void TVideoTile::SetCaption(const QString& caption)
{
    mCaption->setText(caption);
    mCaption->adjustSize();
    mCaption->setVisible(!caption.isEmpty());
    mCaption->raise();
}

QString TVideoTile::Caption() const
{
    return mCaption->isVisible() ? mCaption->text() : QString();
}

void TVideoTile::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), mFramed && mSelected ? SelectedFrameColor : QColor(Qt::black));
}

void TVideoTile::mousePressEvent(QMouseEvent* event)
{
    emit Pressed(event->button(), event->globalPosition().toPoint());
}

void TVideoTile::childEvent(QChildEvent* event)
{
    // The player's window for the picture arrives as a child.
    // The caption itself arrives while it is being made.
    if (mCaption && event->added() && event->child()->isWidgetType() && event->child() != mCaption) {
        event->child()->installEventFilter(this);
        mCaption->raise();
    }
    QWidget::childEvent(event);
}

bool TVideoTile::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        emit Pressed(press->button(), press->globalPosition().toPoint());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
