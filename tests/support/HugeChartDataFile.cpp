#include "tests/support/HugeChartDataFile.h"

#include "chartdata/ChartDataFormat.h"

#include <QFile>
#include <QtEndian>

#include <stdexcept>

void WriteHugeChartDataFile(const QString& fileName)
{
    TChartDataWriter writer;
    writer.Begin(0, 10, 1, 0);
    writer.BeginSeries("big", 0);
    QByteArray image = writer.Bytes();
    qToLittleEndian<qint32>(static_cast<qint32>(HugeChartDataPoints), image.data() + ChartDataHeaderSize + 100);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(image) != image.size()
        || !file.resize(image.size() + HugeChartDataPoints * PointRecordSize))
        throw std::runtime_error("cannot write " + fileName.toStdString());
}

bool MemoryRefusesHugeChartData()
{
#ifdef PLOTREEL_ADDRESS_SANITIZER
    return false;
#else
    QFile overcommit(QStringLiteral("/proc/sys/vm/overcommit_memory"));
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!overcommit.open(QIODevice::ReadOnly) || !meminfo.open(QIODevice::ReadOnly))
        return false;
    if (overcommit.readAll().trimmed() == "1")
        return false;
    qint64 total = 0;
    for (const QByteArray& line : meminfo.readAll().split('\n')) {
        if (line.startsWith("MemTotal:") || line.startsWith("SwapTotal:"))
            total += line.simplified().split(' ').value(1).toLongLong() * 1024;
    }
    return total > 0 && total < HugeChartDataPoints * PointRecordSize / 4 * 3;
#endif
}
