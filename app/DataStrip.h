#pragma once

#include <QWidget>

class TfrmMain;

// The current-values strip: for each visible data series, its value at the
// cursor in the series' colour, side by side. Screen readers get the same as
// text, each value after its series' title (the colour tells them apart on
// screen): the strip's accessible value and description.
class TDataStrip : public QWidget {
    Q_OBJECT

public:
    explicit TDataStrip(TfrmMain& main, QWidget* parent);

    struct TEntry {
        QString Title;
        QString Text;
        QColor Color;
    };
    // What the strip shows now, in order.
    QList<TEntry> Entries() const;
    // The strip's values as a screen reader says them: "speed 1.5, depth 20".
    QString SpokenText() const;
    // Draws the values anew and tells screen readers when their text changed.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TfrmMain& mMain;
    QString mSpoken;
};
