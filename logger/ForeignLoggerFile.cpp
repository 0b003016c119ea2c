#include "logger/ForeignLoggerFile.h"

#include "common/Exception.h"
#include "logger/ForeignFrames.h"
#include "logger/Hdf5File.h"
#include "logger/LoggerTime.h"
#include "logger/MatFile.h"
#include "reader/ReaderJob.h"

#include <QFileInfo>

TForeignLoggerFile::TForeignLoggerFile(const QString& fileName, const QString& job, int silenceLimitMs)
    : TLoggerFile(fileName), mJob(job), mSilenceLimitMs(silenceLimitMs)
{
    if (!QFileInfo(fileName).isFile())
        throw Exception(QStringLiteral("Could not find file '%1'.").arg(fileName));
    TReaderJob reader(mJob, fileName, {QStringLiteral("list")}, mSilenceLimitMs);
    const std::vector<TForeignNode> nodes =
        reader.Read(reader.Expect(quint8(TForeignFrame::Nodes)), ReadNodes);
    for (const TForeignNode& node : nodes) {
        mNodes.push_back(node.Node);
        mKeys.push_back(node.Key);
    }
}

const TLoggerNode& TForeignLoggerFile::Channel(int node) const
{
    if (node < 0 || std::size_t(node) >= mNodes.size() || !mNodes[std::size_t(node)].Channel)
        throw Exception(QStringLiteral("The file '%1' has no channel %2.").arg(mFileName).arg(node));
    const TLoggerNode& channel = mNodes[std::size_t(node)];
    if (!channel.Unloadable.isEmpty())
        throw Exception(QStringLiteral("'%1' of the file '%2' cannot be loaded: %3.")
                            .arg(channel.Name, mFileName, channel.Unloadable));
    return channel;
}

const TForeignLoggerFile::TEnds& TForeignLoggerFile::TimeEnds(int timeNode, int channel)
{
    const TLoggerNode& time = Channel(timeNode);
    const TLoggerNode& values = Channel(channel);
    if (time.SampleCount != values.SampleCount)
        throw Exception(QStringLiteral("'%1' of the file '%2' has %3 samples, its time '%4' %5.")
                            .arg(values.Name, mFileName)
                            .arg(values.SampleCount)
                            .arg(time.Name)
                            .arg(time.SampleCount));
    auto known = mEnds.find(timeNode);
    if (known == mEnds.end()) {
        TReaderJob reader(mJob, mFileName, {QStringLiteral("ends"), mKeys[std::size_t(timeNode)]}, mSilenceLimitMs);
        const TEnds ends = reader.Read(reader.Expect(quint8(TForeignFrame::Ends)), [](TPayloadReader& payload) {
            TEnds read{0, 0, 0};
            read.Count = qint64(payload.Number());
            read.First = payload.Number();
            read.Last = payload.Number();
            payload.Finished();
            return read;
        });
        if (ends.Count != time.SampleCount)
            reader.Misbehaved();
        known = mEnds.emplace(timeNode, ends).first;
    }
    return known->second;
}

bool TForeignLoggerFile::TimeSpan(int node, const TLoggerTime& time, TDateTime& first, TDateTime& last)
{
    const TLoggerNode& channel = Channel(node);
    if (channel.SampleCount == 0)
        return false;
    TLoggerClock clock(time);
    if (time.TimeNode < 0) {
        first = clock.OfIndex(0);
        last = clock.OfIndex(channel.SampleCount - 1);
        return true;
    }
    const TEnds& ends = TimeEnds(time.TimeNode, node);
    first = clock(ends.First);
    last = clock(ends.Last);
    return true;
}

void TForeignLoggerFile::Read(const std::vector<int>& channels, const TLoggerTime& time, const TLoadWindow& window,
                              const TLoggerSampleSink& sink, TLoadProgress* progress)
{
    if (channels.empty())
        return;
    const bool timed = time.TimeNode >= 0;
    QStringList arguments{QStringLiteral("read")};
    // What each key of the job should yield: the time vector first, where
    // there is one.
    std::vector<qint64> expected;
    if (timed) {
        arguments << mKeys[std::size_t(time.TimeNode)];
        expected.push_back(Channel(time.TimeNode).SampleCount);
    }
    for (const int node : channels) {
        if (timed)
            TimeEnds(time.TimeNode, node);
        arguments << mKeys[std::size_t(node)];
        expected.push_back(Channel(node).SampleCount);
    }
    qint64 total = 0;
    for (const qint64 count : expected)
        total += count * qint64(sizeof(double));

    TReaderJob reader(mJob, mFileName, arguments, mSilenceLimitMs);
    TLoggerClock clock(time);
    std::vector<TDateTime> times;
    std::vector<qint64> received(expected.size(), 0);
    std::vector<double> values;
    std::vector<TDateTime> keptTimes;
    std::vector<double> keptValues;
    std::size_t current = 0;
    qint64 done = 0;
    for (;;) {
        const TReaderProcess::TFrame frame = reader.Next(progress, done, total);
        if (frame.Kind == quint8(TForeignFrame::End))
            break;
        if (frame.Kind != quint8(TForeignFrame::Samples))
            reader.Misbehaved();
        const std::size_t key = reader.Read(frame, [&](TPayloadReader& payload) {
            const quint32 index = payload.Length();
            if (payload.Left() % sizeof(double) != 0)
                throw TDamagedPayload();
            values.resize(payload.Left() / sizeof(double));
            payload.Numbers(values.data(), quint32(values.size()));
            return std::size_t(index);
        });
        // Keys come in the order asked, each with the samples listed.
        if (key < current || key >= expected.size() || received[key] + qint64(values.size()) > expected[key])
            reader.Misbehaved();
        current = key;
        const qint64 first = received[key];
        received[key] += qint64(values.size());
        done += qint64(values.size() * sizeof(double));
        if (timed && key == 0) {
            for (const double value : values)
                times.push_back(clock(value));
        } else {
            keptTimes.clear();
            keptValues.clear();
            for (std::size_t i = 0; i < values.size(); ++i) {
                const TDateTime t = timed ? times[std::size_t(first) + i] : clock.OfIndex(first + qint64(i));
                if (window.Contains(t)) {
                    keptTimes.push_back(t);
                    keptValues.push_back(values[i]);
                }
            }
            if (!keptTimes.empty())
                sink(key - (timed ? 1 : 0), keptTimes.data(), keptValues.data(), keptTimes.size());
        }
        ReportLoadProgress(progress, done, total);
    }
    if (received != expected)
        reader.Misbehaved();
}

std::unique_ptr<TLoggerFile> OpenForeignLoggerFile(const QString& fileName, const QByteArray& head)
{
    if (head.startsWith("MATLAB "))
        return std::make_unique<TMatFile>(fileName);
    // An HDF5 file's signature lies at 0 or after a user block of 512,
    // 1024, 2048... bytes.
    static const QByteArray signature("\x89HDF\r\n\x1a\n", 8);
    for (qsizetype at = 0; at + signature.size() <= head.size(); at = at == 0 ? 512 : at * 2)
        if (head.mid(at, signature.size()) == signature)
            return std::make_unique<THdf5File>(fileName);
    return nullptr;
}
