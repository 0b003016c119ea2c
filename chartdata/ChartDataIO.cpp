#include "chartdata/ChartDataIO.h"

#include "common/Exception.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

bool NameTaken(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() || info.isSymLink();
}

} // namespace

QString ChartDataFileName(const QString& videoFileName)
{
    const qsizetype nameStart = videoFileName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = videoFileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > nameStart ? videoFileName.left(dot) : videoFileName;
    return base + QStringLiteral(".bcd");
}

qint64 ReadFileAt(QFile& file, const QString& fileName, qint64 offset, char* out, qint64 size)
{
    const auto fail = [&] {
        throw Exception(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
    };
    if (file.pos() != offset && !file.seek(offset))
        fail();
    qint64 done = 0;
    while (done < size) {
        const qint64 count = file.read(out + done, size - done);
        if (count < 0)
            fail();
        if (count == 0)
            break;
        done += count;
    }
    return done;
}

void WriteChartDataFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    const auto fail = [&](const QString& reason) {
        throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    // Written and synced through the descriptor itself: the save file reports
    // a full disk as an unknown error, and a delayed write error shows only
    // when the data reaches the disk.
    const int fd = file.handle();
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t count = ::write(fd, data, static_cast<std::size_t>(left));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            fail(SystemError(count < 0 ? errno : ENOSPC));
        data += count;
        left -= count;
    }
    if (::fsync(fd) != 0)
        fail(SystemError(errno));
    if (!file.commit())
        fail(file.errorString());
}

QString KeepDamagedFile(const QString& fileName)
{
    const QString base = fileName + QStringLiteral(".damaged");
    for (int number = 0;; ++number) {
        const QString kept = number == 0 ? base : base + QLatin1Char('.') + QString::number(number);
        if (NameTaken(kept))
            continue;
        QFile file(fileName);
        if (file.rename(kept))
            return kept;
        // Another program may have taken the name meanwhile.
        if (!NameTaken(kept))
            throw Exception(QStringLiteral("Cannot keep file \"%1\" as \"%2\". %3").arg(fileName, kept, file.errorString()));
    }
}
