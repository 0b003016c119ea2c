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

QByteArray ReadChartDataFile(const QString& fileName)
{
    QFile file(fileName);
    const auto fail = [&] {
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    };
    if (!file.open(QIODevice::ReadOnly))
        fail();
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail();
    return bytes;
}

void WriteChartDataFile(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}
