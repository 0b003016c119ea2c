#include "chartdata/ChartDataIO.h"

#include "common/Exception.h"

#include <QFile>
#include <QSaveFile>

QString ChartDataFileName(const QString& videoFileName)
{
    const qsizetype nameStart = videoFileName.lastIndexOf(QLatin1Char('/')) + 1;
    const qsizetype dot = videoFileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > nameStart ? videoFileName.left(dot) : videoFileName;
    return base + QStringLiteral(".bcd");
}

QByteArray ReadChartDataFile(const QString& fileName, TLoadProgress* progress)
{
    QFile file(fileName);
    const auto fail = [&] {
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        fail();
    // A block at a time, so that a watcher hears of each.
    constexpr qint64 BlockSize = 4 << 20;
    const qint64 size = file.size();
    QByteArray bytes;
    bytes.reserve(size);
    for (;;) {
        const QByteArray block = file.read(BlockSize);
        if (file.error() != QFileDevice::NoError)
            fail();
        if (block.isEmpty())
            return bytes;
        bytes += block;
        ReportLoadProgress(progress, qMin<qint64>(bytes.size(), size), size);
    }
}

void WriteChartDataFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}
