#include "common/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

std::optional<TFileIdentity> FileIdentityOf(const QString& path)
{
    struct stat status {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return TFileIdentity{status.st_dev, status.st_ino};
}

bool SameFile(const QString& first, const QString& second)
{
    const std::optional<TFileIdentity> a = FileIdentityOf(first);
    return a && a == FileIdentityOf(second);
}
