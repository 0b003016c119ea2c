#include "common/RegularFile.h"

#include "common/Exception.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void CannotOpen(const QString& fileName, const QString& reason)
{
    throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
}

QString KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("no regular file");
}

} // namespace

void OpenRegularFile(QFile& file, const QString& fileName)
{
    // Opening without blocking returns at once even for a pipe without a
    // writer; what was opened is then looked at before anything is read.
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        CannotOpen(fileName, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        CannotOpen(fileName, QString::fromLocal8Bit(std::strerror(error)));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        CannotOpen(fileName, QStringLiteral("It is %1, not a regular file.").arg(KindOf(status.st_mode)));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    file.setFileName(fileName);
    // The file closes the descriptor from here on, also when it fails to take it.
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        CannotOpen(fileName, file.errorString());
}
