#pragma once

#include "logger/ForeignLoggerFile.h"

// A MATLAB file (v5, compressed or not, and v7.3), read by libmatio.
class TMatFile : public TForeignLoggerFile {
public:
    explicit TMatFile(const QString& fileName, int silenceLimitMs = SilenceLimitMs)
        : TForeignLoggerFile(fileName, QStringLiteral("matlab"), silenceLimitMs)
    {
    }
};
