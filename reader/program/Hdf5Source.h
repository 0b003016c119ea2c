#pragma once

#include "reader/program/LoggerJob.h"

#include <QString>

// An HDF5 file read through libhdf5. Its channels: numeric datasets of one
// dimension (or two with one of length 1), the columns of numeric datasets of
// two dimensions (rows are samples), and the numeric members of compound
// datasets of one dimension. A string attribute "unit" or "units" of a
// dataset is its channels' unit, one "comment" or "description" their
// comment.
class THdf5Source : public TLoggerSource {
public:
    explicit THdf5Source(const QString& fileName);
    ~THdf5Source() override;
    THdf5Source(const THdf5Source&) = delete;
    THdf5Source& operator=(const THdf5Source&) = delete;

    std::vector<TForeignNode> Nodes() override;
    void Read(const QString& key, const TChunk& chunk) override;

private:
    QString mFileName;
    long long mFile = -1;
};
