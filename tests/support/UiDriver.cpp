#include "tests/support/UiDriver.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWheelEvent>

void WhenModal(std::function<void(QWidget* modal)> act)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

void AnswerFileDialog(const QString& fileName)
{
    WhenModal([fileName](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog)
            return;
        // Typed into the name box, as a user would: the dialog's view of the
        // folder may not be loaded yet.
        auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (nameBox)
            nameBox->setText(fileName);
        else
            dialog->selectFile(fileName);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

void TurnWheel(QWidget* widget, const QPoint& pos, int delta)
{
    TurnWheel(widget, pos, QPoint(0, delta));
}

void TurnWheel(QWidget* widget, const QPoint& pos, const QPoint& angleDelta)
{
    QWheelEvent event(QPointF(pos), QPointF(widget->mapToGlobal(pos)), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}
