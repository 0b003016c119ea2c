#include "about/LinkLabel.h"

#include <QMouseEvent>

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
