// The main window's size and place, kept between runs.
#include "app/MainForm.h"

#include "app/WindowFit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {

const QString PlacementKey = QStringLiteral("MainWindow/Geometry");

} // namespace

void TfrmMain::RestorePlacement()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!restoreGeometry(QSettings().value(PlacementKey).toByteArray()) && screen)
        move(screen->availableGeometry().center() - rect().center());
    // A place kept from a larger screen or another scale, or a window larger
    // than the screen, is brought within the screen's free area.
    if (const QScreen* own = QGuiApplication::screenAt(geometry().center()))
        screen = own;
    if (!screen)
        return;
    const QRect fitted = FitIntoArea(geometry(), screen->availableGeometry());
    resize(fitted.size());
    move(fitted.topLeft());
}

void TfrmMain::KeepPlacement()
{
    QSettings().setValue(PlacementKey, saveGeometry());
}
