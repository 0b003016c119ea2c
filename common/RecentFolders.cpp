#include "common/RecentFolders.h"

#include <QFileInfo>
#include <QSettings>

namespace {

QString Key(const QString& dialog)
{
    return QStringLiteral("RecentFolders/") + dialog;
}

} // namespace

QString RecentFolder(const QString& dialog)
{
    return QSettings().value(Key(dialog)).toString();
}

void RememberFolder(const QString& dialog, const QString& fileName)
{
    QSettings().setValue(Key(dialog), QFileInfo(fileName).absolutePath());
}
