#pragma once

#include "logger/ForeignFrames.h"

#include <QStringList>

#include <cstddef>
#include <functional>
#include <vector>

class TFrameOutput;

// A logger file read through a C library inside the reader process.
class TLoggerSource {
public:
    virtual ~TLoggerSource() = default;

    // The channel tree, parents first, each node with its key.
    virtual std::vector<TForeignNode> Nodes() = 0;
    // Hands the samples of a channel's key to chunk, in order, as doubles,
    // in blocks of at most BlockSamples.
    using TChunk = std::function<void(const double* values, std::size_t count)>;
    virtual void Read(const QString& key, const TChunk& chunk) = 0;

    static constexpr std::size_t BlockSamples = std::size_t(1) << 20;
};

// Runs a job on a source: "list", "ends KEY" or "read KEY...".
void RunLoggerJob(TLoggerSource& source, const QStringList& job, TFrameOutput& out);
