#pragma once

#include <QWidget>

class QLabel;

// The place of one video's picture in the video panel: the player's window
// for it. With several videos it keeps a thin frame around the picture,
// lit while the video is selected, and a caption over the picture's top left
// corner. A press on the picture, which the player's own window receives,
// counts as a press on the tile.
class TVideoTile : public QWidget {
    Q_OBJECT
public:
    static constexpr int FrameWidth = 3;

    explicit TVideoTile(QWidget* parent);

    void SetFramed(bool framed);
    void SetSelected(bool selected);
    bool Selected() const { return mSelected; }
    // An empty caption hides it.
    void SetCaption(const QString& caption);
    QString Caption() const;

signals:
    void Pressed(Qt::MouseButton button, const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mFramed = false;
    bool mSelected = false;
    QLabel* mCaption = nullptr;
};
