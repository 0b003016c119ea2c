// Videos that come from outside the window's own dialog: dropped on the
// window, or named on the command line.
#include "app/MainForm.h"

#include "common/MessageBoxes.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// The local file that a drag carries first; empty when it carries none.
QString DraggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().isEmpty())
        return QString();
    const QUrl& url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// Takes a drop as a copy, or else as a link: the video is only read, so the
// source must never delete its file as it would after a move.
bool AcceptAsCopyOrLink(QDropEvent& event)
{
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        if (event.possibleActions() & action) {
            event.setDropAction(action);
            event.accept();
            return true;
        }
    }
    event.ignore();
    return false;
}

} // namespace

void TfrmMain::OpenVideoLater(const QString& fileName)
{
    // After the drop has ended, or once the window is shown: the video needs
    // its panel on screen, and a drop source should not wait for the opening.
    QMetaObject::invokeMethod(
        this, [this, fileName] { RunCommand([&] { OpenVideoFile(fileName); }); }, Qt::QueuedConnection);
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DraggedFile(event->mimeData()).isEmpty())
        AcceptAsCopyOrLink(*event);
}

void TfrmMain::dragMoveEvent(QDragMoveEvent* event)
{
    if (!DraggedFile(event->mimeData()).isEmpty())
        AcceptAsCopyOrLink(*event);
}

void TfrmMain::dropEvent(QDropEvent* event)
{
    const QString fileName = DraggedFile(event->mimeData());
    if (fileName.isEmpty() || !AcceptAsCopyOrLink(*event))
        return;
    OpenVideoLater(fileName);
}
