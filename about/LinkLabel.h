#pragma once

#include <QLabel>

// A label that looks and acts like a web link: blue, underlined, the hand
// cursor, and a click signal.
class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit TLinkLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool mPressed = false;
};
