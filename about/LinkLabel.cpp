#include "about/LinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

TLinkLabel::TLinkLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    // Only the underline is set here; family and size come from the parent.
    QFont underlined;
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    setPalette(palette);
    setFocusPolicy(Qt::TabFocus);
}

void TLinkLabel::mousePressEvent(QMouseEvent* event)
{
    mPressed = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release of the left button, both on the label.
    const bool click = mPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    mPressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit clicked();
}

void TLinkLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier
        && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void TLinkLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}
