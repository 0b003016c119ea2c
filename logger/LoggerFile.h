#pragma once

#include "common/DateTime.h"
#include "common/LoadProgress.h"
#include "common/LoadWindow.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A file written by a data logger or an analysis tool (MDF, TDMS, MATLAB,
// HDF5), read without a window: its channel tree, and the samples of chosen
// channels inside a time window. Every error is an Exception whose text names
// the file and what is wrong; a damaged file never reads as a shorter success.

// One entry of the channel tree: a group (an MDF channel group, a TDMS group,
// a MATLAB variable or struct, an HDF5 group or compound dataset) or a
// channel in one. Nodes are listed parents first.
struct TLoggerNode {
    int Parent = -1;     // the group it lies in, -1 at the top
    bool Channel = false;
    QString Name;
    QString Unit;
    QString Comment;     // for an MDF channel group: its acquisition name and source
    qint64 SampleCount = 0;
    QString Unloadable;  // why a channel cannot be loaded (text, byte arrays); empty when it can
};

// The text a value-to-text or range-to-text conversion gives the raw values
// from Low to High, both included.
struct TValueText {
    double Low;
    double High;
    QString Text;
};

// An event the file records (MDF event blocks: triggers, bookmarks, starts).
// Its time counts from the file's zero, like the samples' (see ZeroTime).
struct TLoggerEvent {
    double Seconds;
    double LengthSeconds; // 0 for a point in time
    QString Name;
    QString Comment;
};

// How the numbers of a time vector the user picks count time.
enum class TLoggerTimeUnit { Seconds, MatlabDatenum, PosixSeconds };

// Where the times of channels without a time of their own come from: the
// node of a time vector or column, or -1 for the file's own (MDF masters,
// TDMS waveform properties, else the sample index in seconds from zero).
// Zero is the clock time of the file's zero where the file records none.
struct TLoggerTime {
    int TimeNode = -1;
    TLoggerTimeUnit Unit = TLoggerTimeUnit::Seconds;
    TDateTime Zero = 0;
};

// A block of one requested channel's samples, in time order: `channel` is
// its position in the request.
using TLoggerSampleSink =
    std::function<void(std::size_t channel, const TDateTime* times, const double* values, std::size_t count)>;

class TLoggerFile {
public:
    virtual ~TLoggerFile() = default;

    const QString& FileName() const { return mFileName; }
    const std::vector<TLoggerNode>& Nodes() const { return mNodes; }
    // The clock time of the file's zero where the file records it (the MDF
    // header's start time, TDMS wf_start_time), in local time.
    const std::optional<TDateTime>& RecordedStart() const { return mRecordedStart; }
    const std::vector<TLoggerEvent>& Events() const { return mEvents; }
    // The clock time of the file's zero: the recorded start, else the one the
    // user states.
    TDateTime ZeroTime(const TLoggerTime& time) const { return mRecordedStart ? *mRecordedStart : time.Zero; }

    // The raw value texts of a channel; empty when it has none.
    virtual std::vector<TValueText> ValueTexts(int node) const { (void)node; return {}; }

    // The first and last time of a channel's samples; false when it has none.
    virtual bool TimeSpan(int node, const TLoggerTime& time, TDateTime& first, TDateTime& last) = 0;

    // Reads the samples of the channel nodes inside the window, both ends
    // included, into sink. progress hears bytes read of the bytes to read; a
    // cancel throws LoadCancelled.
    virtual void Read(const std::vector<int>& channels, const TLoggerTime& time, const TLoadWindow& window,
                      const TLoggerSampleSink& sink, TLoadProgress* progress) = 0;

protected:
    explicit TLoggerFile(QString fileName) : mFileName(std::move(fileName)) {}

    QString mFileName;
    std::vector<TLoggerNode> mNodes;
    std::optional<TDateTime> mRecordedStart;
    std::vector<TLoggerEvent> mEvents;
};

// Opens a logger file, its format told by its content (not its name); a
// file of no format it knows throws.
std::unique_ptr<TLoggerFile> OpenLoggerFile(const QString& fileName);
