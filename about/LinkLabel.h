#pragma once

#include <QLabel>

// A label that looks and acts like a web link: blue, underlined, the hand
// cursor, and a click signal. The Tab key reaches it (a click does not move
// the focus); Enter or Space then acts as a click, and a dotted frame shows
// the focus.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool mPressed = false;
};
