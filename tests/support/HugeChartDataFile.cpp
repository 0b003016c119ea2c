#include "tests/support/HugeChartDataFile.h"

#include "chartdata/ChartDataFormat.h"
#include "common/MemoryLeft.h"

#include <QFile>
#include <QtEndian>

#include <stdexcept>

void WriteSparseChartDataFile(const QString& fileName, const std::vector<qint64>& pointCounts)
{
    QFile file(fileName);
    const auto put = [&](qint64 offset, const QByteArray& bytes) {
        if (!file.seek(offset) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + fileName.toStdString());
    };
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + fileName.toStdString());
    QByteArray header(ChartDataHeaderSize, '\0');
    header[0] = char(ChartDataFormatByte);
    qToLittleEndian<double>(0, header.data() + 1);
    qToLittleEndian<double>(10, header.data() + 9);
    header[17] = char(pointCounts.size());
    put(0, header);
    qint64 offset = ChartDataHeaderSize;
    for (const qint64 count : pointCounts) {
        QByteArray record(SeriesHeaderSize, '\0');
        record.replace(0, 6, "sparse");
        qToLittleEndian<qint32>(static_cast<qint32>(count), record.data() + 100);
        put(offset, record);
        offset += SeriesHeaderSize + count * PointRecordSize;
    }
    if (!file.resize(offset))
        throw std::runtime_error("cannot write " + fileName.toStdString());
}

void WriteHugeChartDataFile(const QString& fileName)
{
    WriteSparseChartDataFile(fileName, {HugeChartDataPoints});
}

bool MemoryRefusesHugeChartData()
{
    // Each point takes its 16 bytes in memory, and a little more.
    return MemoryLeft(ReadMemoryFigures()) < HugeChartDataPoints * PointRecordSize;
}
