#pragma once

#include <QWidget>

class TfrmMain;

// The current-values strip: for each visible data series, its value at the
// cursor in the series' colour, side by side.
class TDataStrip : public QWidget {
public:
    explicit TDataStrip(TfrmMain& main, QWidget* parent);

    struct TEntry {
        QString Text;
        QColor Color;
    };
    // What the strip shows now, in order.
    QList<TEntry> Entries() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TfrmMain& mMain;
};
