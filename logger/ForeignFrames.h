#pragma once

#include "logger/LoggerFile.h"
#include "reader/ReaderFrames.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The frames of the reader program's MATLAB and HDF5 jobs
// (reader/ReaderFrames.h), besides Error and Alive:
//   list             -> Nodes
//   ends KEY         -> Ends
//   read KEY...      -> Samples... End (the keys' samples in order)
enum class TForeignFrame : quint8 {
    Nodes = 16,   // a count and per node: parent, channel byte, name, unit, comment, sample count, reason, key
    Ends = 17,    // a channel's sample count and its first and last value
    Samples = 18, // the position of the key in the request, then numbers to its payload's end
    End = 19,     // every sample asked for has been sent
};

// A node of the channel tree and the key by which the reader finds its
// samples again.
struct TForeignNode {
    TLoggerNode Node;
    QString Key;
};

void AppendNodes(QByteArray& out, const std::vector<TForeignNode>& nodes);
void AppendEnds(QByteArray& out, qint64 count, double first, double last);
// Starts a Samples frame; the numbers follow and FinishFrame closes it.
qsizetype StartSamples(QByteArray& out, quint32 key);

// Throws TDamagedPayload on a payload that is cut short, too long, or a
// tree whose parents are not listed before their children.
std::vector<TForeignNode> ReadNodes(TPayloadReader& payload);
