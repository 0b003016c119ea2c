#pragma once

#include <QString>
#include <QStringList>
#include <QMessageBox>
#include <QTimer>

// Answers the message boxes that a command shows while the catcher lives:
// records each box's title and text and closes it with OK, or with the
// button of `answer` where the box has one.
class ModalBoxCatcher {
public:
    explicit ModalBoxCatcher(QMessageBox::StandardButton answer = QMessageBox::NoButton);
    ~ModalBoxCatcher();

    QMessageBox::StandardButton Answer;

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
