#pragma once

#include "logger/ForeignLoggerFile.h"

// An HDF5 file, read by libhdf5.
class THdf5File : public TForeignLoggerFile {
public:
    explicit THdf5File(const QString& fileName, int silenceLimitMs = SilenceLimitMs)
        : TForeignLoggerFile(fileName, QStringLiteral("hdf5"), silenceLimitMs)
    {
    }
};
