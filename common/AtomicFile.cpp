#include "common/AtomicFile.h"

#include "common/Exception.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

TAtomicFile::TAtomicFile(const QString& fileName) : mFileName(fileName), mFile(fileName)
{
    if (!mFile.open(QIODevice::WriteOnly))
        Fail(mFile.errorString());
}

void TAtomicFile::Fail(const QString& reason) const
{
    throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(mFileName, reason));
}

void TAtomicFile::Write(const char* data, qint64 size)
{
    // Written through the descriptor itself: the save file reports a full
    // disk as an unknown error.
    const int fd = mFile.handle();
    while (size > 0) {
        const ssize_t count = ::write(fd, data, static_cast<std::size_t>(size));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            Fail(SystemError(count < 0 ? errno : ENOSPC));
        data += count;
        size -= count;
    }
}

qint64 TAtomicFile::Seek(qint64 offset, int whence)
{
    const off_t position = ::lseek(mFile.handle(), offset, whence);
    if (position < 0)
        Fail(SystemError(errno));
    return position;
}

qint64 TAtomicFile::Size() const
{
    struct stat status {};
    if (::fstat(mFile.handle(), &status) != 0)
        Fail(SystemError(errno));
    return status.st_size;
}

void TAtomicFile::Commit()
{
    // A delayed write error shows only when the data reaches the disk.
    if (::fsync(mFile.handle()) != 0)
        Fail(SystemError(errno));
    if (!mFile.commit())
        Fail(mFile.errorString());
}
