// The main window's size and place, kept between runs.
#include "app/MainForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {

const QString PlacementKey = QStringLiteral("MainWindow/Geometry");

} // namespace

void TfrmMain::RestorePlacement()
{
    if (restoreGeometry(QSettings().value(PlacementKey).toByteArray()))
        return;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    QSettings().setValue(PlacementKey, saveGeometry());
    QWidget::closeEvent(event);
}
