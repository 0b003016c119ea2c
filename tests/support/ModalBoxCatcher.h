#pragma once

#include <QString>
#include <QStringList>
#include <QTimer>

// Answers the message boxes that a command shows while the catcher lives:
// records each box's title and text and closes it with its default button.
class ModalBoxCatcher {
public:
    ModalBoxCatcher();
    ~ModalBoxCatcher();

    struct TBox {
        QString Title;
        QString Text;
    };
    const QList<TBox>& Boxes() const { return mBoxes; }
    QStringList Texts() const;

private:
    void Poll();
    QTimer mTimer;
    QList<TBox> mBoxes;
};
