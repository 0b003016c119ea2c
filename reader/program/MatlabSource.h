#pragma once

#include "reader/program/LoggerJob.h"

#include <QString>

struct _mat_t;

// A MATLAB file (v5, compressed or not, and v7.3) read through libmatio.
// Its channels: real numeric vectors, the columns of real numeric matrices
// (rows are samples), and such fields of scalar structs, which are groups.
class TMatlabSource : public TLoggerSource {
public:
    explicit TMatlabSource(const QString& fileName);
    ~TMatlabSource() override;
    TMatlabSource(const TMatlabSource&) = delete;
    TMatlabSource& operator=(const TMatlabSource&) = delete;

    std::vector<TForeignNode> Nodes() override;
    void Read(const QString& key, const TChunk& chunk) override;

private:
    QString mFileName;
    _mat_t* mFile = nullptr;
};
