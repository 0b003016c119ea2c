#include "chartdata/ChartDataIO.h"

#include "common/AtomicFile.h"
#include "common/Exception.h"

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
    TAtomicFile file(fileName);
    file.Write(bytes);
    file.Commit();
}
