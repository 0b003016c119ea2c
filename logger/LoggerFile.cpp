#include "logger/LoggerFile.h"

#include "common/Exception.h"
#include "common/RegularFile.h"

#include <QFile>

std::unique_ptr<TLoggerFile> OpenLoggerFile(const QString& fileName)
{
    QFile file;
    OpenRegularFile(file, fileName);
    throw Exception(QStringLiteral("The file \"%1\" is none of the logger files this program reads "
                                   "(MDF, TDMS, MATLAB, HDF5).").arg(fileName));
}
