#include "logger/LoggerFile.h"

#include "common/Exception.h"
#include "common/RegularFile.h"
#include "logger/ForeignLoggerFile.h"

#include <QFile>

namespace {

// Enough of a file's start to tell its format: an HDF5 signature may lie
// after a user block of up to 64 KiB.
constexpr qint64 HeadBytes = 65536 + 8;

} // namespace

std::unique_ptr<TLoggerFile> OpenLoggerFile(const QString& fileName)
{
    QByteArray head;
    {
        QFile file;
        OpenRegularFile(file, fileName);
        head = file.read(HeadBytes);
    }
    if (auto foreign = OpenForeignLoggerFile(fileName, head))
        return foreign;
    throw Exception(QStringLiteral("The file \"%1\" is none of the logger files this program reads "
                                   "(MDF, TDMS, MATLAB, HDF5).").arg(fileName));
}
