#include "common/LanesChoice.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSettings>

namespace {

// One key a video: a digest of its absolute path, since a path holds the
// settings' group separator and characters a key may not.
QString Key(const QString& videoFileName)
{
    const QByteArray path = QFileInfo(videoFileName).absoluteFilePath().toUtf8();
    return QStringLiteral("ChartLanes/")
           + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex());
}

} // namespace

bool LanesChosen(const QString& videoFileName)
{
    return !videoFileName.isEmpty() && QSettings().value(Key(videoFileName), false).toBool();
}

void RememberLanes(const QString& videoFileName, bool lanes)
{
    if (videoFileName.isEmpty())
        return;
    // Only the videos shown in lanes are kept; the shared axis is the default.
    if (lanes)
        QSettings().setValue(Key(videoFileName), true);
    else
        QSettings().remove(Key(videoFileName));
}
