#include "tests/support/ModalBoxCatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

ModalBoxCatcher::ModalBoxCatcher(QMessageBox::StandardButton answer) : Answer(answer)
{
    mTimer.setInterval(20);
    QObject::connect(&mTimer, &QTimer::timeout, [this] { Poll(); });
    mTimer.start();
}

ModalBoxCatcher::~ModalBoxCatcher() = default;

QStringList ModalBoxCatcher::Texts() const
{
    QStringList texts;
    for (const TBox& box : mBoxes)
        texts << box.Text;
    return texts;
}

void ModalBoxCatcher::Poll()
{
    const auto box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    mBoxes.append({box->windowTitle(), box->text()});
    if (QAbstractButton* button = Answer != QMessageBox::NoButton ? box->button(Answer) : nullptr)
        button->click();
    else
        box->done(QMessageBox::Ok);
}
