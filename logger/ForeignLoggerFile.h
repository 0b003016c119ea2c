#pragma once

#include "logger/LoggerFile.h"

#include <QByteArray>
#include <QString>

#include <map>

// A logger file read through a C library in the reader program
// (plotreel-reader, reader/program), a process for each job, so that a
// damaged file that crashes or hangs the library ends only that process:
// the job then fails with an Exception that names the file. Channels have no
// time of their own: a time vector of the file gives it, else the sample
// index in seconds.
class TForeignLoggerFile : public TLoggerFile {
public:
    // How long the reader may stay silent before it counts as hung.
    static constexpr int SilenceLimitMs = 10000;

    bool TimeSpan(int node, const TLoggerTime& time, TDateTime& first, TDateTime& last) override;
    void Read(const std::vector<int>& channels, const TLoggerTime& time, const TLoadWindow& window,
              const TLoggerSampleSink& sink, TLoadProgress* progress) override;

protected:
    // Lists the file's channels with the reader's job for the library
    // ("matlab", "hdf5").
    TForeignLoggerFile(const QString& fileName, const QString& job, int silenceLimitMs);

private:
    struct TEnds {
        qint64 Count;
        double First;
        double Last;
    };
    // The node as a loadable channel; throws when it is none.
    const TLoggerNode& Channel(int node) const;
    // The time vector's node, checked against the channel's sample count.
    const TEnds& TimeEnds(int timeNode, int channel);

    QString mJob;
    int mSilenceLimitMs;
    std::vector<QString> mKeys;
    std::map<int, TEnds> mEnds;
};

// The file as a MATLAB or HDF5 file when its first bytes say it is one; null
// otherwise.
std::unique_ptr<TLoggerFile> OpenForeignLoggerFile(const QString& fileName, const QByteArray& head);
