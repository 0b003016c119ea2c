#include "common/Exception.h"
#include "logger/LoggerFile.h"
#include "logger/LoggerTime.h"
#include "logger/MatFile.h"
#include "tests/support/DamagedAccessFiles.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/ForeignLoggerFiles.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

// The node's path: its groups' names and its own, joined by '/'.
QString PathOf(const TLoggerFile& file, int node)
{
    QString path = file.Nodes()[std::size_t(node)].Name;
    for (int parent = file.Nodes()[std::size_t(node)].Parent; parent >= 0;
         parent = file.Nodes()[std::size_t(parent)].Parent)
        path = file.Nodes()[std::size_t(parent)].Name + QLatin1Char('/') + path;
    return path;
}

int NodeOf(const TLoggerFile& file, const QString& path)
{
    for (std::size_t i = 0; i < file.Nodes().size(); ++i)
        if (PathOf(file, int(i)) == path)
            return int(i);
    ADD_FAILURE() << "no node " << path.toStdString();
    return -1;
}

struct TSeries {
    std::vector<TDateTime> Times;
    std::vector<double> Values;
};

std::vector<TSeries> ReadAll(TLoggerFile& file, const std::vector<int>& channels, const TLoggerTime& time,
                             const TLoadWindow& window, TLoadProgress* progress = nullptr)
{
    std::vector<TSeries> series(channels.size());
    file.Read(
        channels, time, window,
        [&](std::size_t channel, const TDateTime* times, const double* values, std::size_t count) {
            series.at(channel).Times.insert(series[channel].Times.end(), times, times + count);
            series.at(channel).Values.insert(series[channel].Values.end(), values, values + count);
        },
        progress);
    return series;
}

constexpr double Second = 1.0 / 86400;
const TDateTime Zero = 46000; // 7 December 2025

} // namespace

// Every format lists the same recording: vectors, matrix columns and struct
// fields as channels; text and complex numbers listed but not loadable.
TEST(ForeignLoggerFile, ListsTheChannelsOfEachFormat)
{
    struct TCase {
        const char* File;
        std::map<QString, qint64> Channels; // path -> samples
        std::map<QString, QString> Units;
        std::vector<QString> Unloadable;
    };
    const std::map<QString, qint64> matlab{{"t", 20}, {"speed", 20}, {"m/m(:,1)", 20}, {"m/m(:,2)", 20},
                                           {"s/counts", 20}};
    const TCase cases[] = {
        {"v5.mat", matlab, {}, {"s/label", "z"}},
        {"v5z.mat", matlab, {}, {"s/label", "z"}},
        {"v73.mat", matlab, {}, {}},
        {"plain.h5",
         {{"t", 20}, {"engine/speed", 20}, {"engine/m/m[0]", 20}, {"engine/m/m[1]", 20}, {"table/time", 20},
          {"table/rpm", 20}},
         {{"t", "s"}, {"engine/speed", "km/h"}},
         {"engine/label", "table/gear"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        const auto file = OpenLoggerFile(ForeignLoggerFile(c.File));
        std::map<QString, qint64> channels;
        std::vector<QString> unloadable;
        for (std::size_t i = 0; i < file->Nodes().size(); ++i) {
            const TLoggerNode& node = file->Nodes()[i];
            ASSERT_LT(node.Parent, int(i));
            if (!node.Channel)
                continue;
            if (node.Unloadable.isEmpty())
                channels[PathOf(*file, int(i))] = node.SampleCount;
            else
                unloadable.push_back(PathOf(*file, int(i)));
            const auto unit = c.Units.find(PathOf(*file, int(i)));
            EXPECT_EQ(node.Unit, unit == c.Units.end() ? QString() : unit->second) << PathOf(*file, int(i)).toStdString();
        }
        EXPECT_EQ(channels, c.Channels);
        std::sort(unloadable.begin(), unloadable.end());
        EXPECT_EQ(unloadable, c.Unloadable);
    }
    // The group linked from inside itself is listed once.
    const auto h5 = OpenLoggerFile(ForeignLoggerFile("plain.h5"));
    EXPECT_EQ(h5->Nodes()[std::size_t(NodeOf(*h5, "engine/speed"))].Comment, "wheel speed");
}

// A channel read against a time vector of the file keeps the samples in the
// window, placed by the clock time of the file's zero; without a time vector
// the sample index counts seconds.
TEST(ForeignLoggerFile, ReadsChannelsInsideTheWindow)
{
    struct TCase {
        const char* File;
        const char* Time;
        const char* Channel;
        double Scale; // the channel's value over its time in seconds
    };
    const TCase cases[] = {
        {"v5.mat", "t", "speed", 2},         {"v5z.mat", "t", "m/m(:,2)", 3}, {"v73.mat", "t", "m/m(:,2)", 3},
        {"v73.mat", "t", "s/counts", 2},     {"plain.h5", "t", "engine/speed", 2},
        {"plain.h5", "table/time", "table/rpm", -1}, {"plain.h5", "t", "engine/m/m[1]", 3},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.File) + " " + c.Channel);
        const auto file = OpenLoggerFile(ForeignLoggerFile(c.File));
        TLoggerTime time;
        time.TimeNode = NodeOf(*file, c.Time);
        time.Zero = Zero;
        const int channel = NodeOf(*file, c.Channel);
        TDateTime first = 0;
        TDateTime last = 0;
        ASSERT_TRUE(file->TimeSpan(channel, time, first, last));
        EXPECT_NEAR(first, Zero, 1e-9);
        EXPECT_NEAR(last, Zero + 9.5 * Second, 1e-9);

        // From 2 s to 4 s: the samples at 2, 2.5, ... 4 s.
        const auto series = ReadAll(*file, {channel}, time, {Zero + 2 * Second, Zero + 4 * Second});
        ASSERT_EQ(series[0].Times.size(), 5u);
        for (std::size_t i = 0; i < 5; ++i) {
            const double seconds = 2 + 0.5 * double(i);
            EXPECT_NEAR(series[0].Times[i], Zero + seconds * Second, 1e-9);
            const double expected = c.Scale > 0 ? c.Scale * seconds : 1000 + 10 * (4 + double(i));
            EXPECT_DOUBLE_EQ(series[0].Values[i], expected);
        }
    }

    // Two channels at once, timed by their index.
    const auto file = OpenLoggerFile(ForeignLoggerFile("v5.mat"));
    TLoggerTime byIndex;
    byIndex.Zero = Zero;
    const auto series = ReadAll(*file, {NodeOf(*file, "speed"), NodeOf(*file, "t")}, byIndex,
                                {Zero + 18.5 * Second, Zero + 30 * Second});
    ASSERT_EQ(series[0].Values, (std::vector<double>{19}));
    ASSERT_EQ(series[1].Values, (std::vector<double>{9.5}));
    EXPECT_NEAR(series[1].Times[0], Zero + 19 * Second, 1e-9);
}

// Times in MATLAB datenums and POSIX seconds land on the clock whatever the
// file's zero; POSIX seconds in the local time of their moment.
TEST(LoggerClock, PlacesEachUnitOfTime)
{
    TLoggerTime time;
    time.Zero = 45000;
    time.Unit = TLoggerTimeUnit::Seconds;
    EXPECT_DOUBLE_EQ(TLoggerClock(time)(43200), 45000.5);
    EXPECT_DOUBLE_EQ(TLoggerClock(time).OfIndex(86400), 45001);
    time.Unit = TLoggerTimeUnit::MatlabDatenum;
    EXPECT_DOUBLE_EQ(TLoggerClock(time)(739000.25), 739000.25 - 693960);
    time.Unit = TLoggerTimeUnit::PosixSeconds;
    TLoggerClock clock(time);
    for (const qint64 seconds : {qint64(0), qint64(1751371200) /* July */, qint64(1765000000) /* December */}) {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toLocalTime();
        const double expected = 25569 + (seconds + local.offsetFromUtc()) / 86400.0;
        EXPECT_NEAR(clock(double(seconds) + 0.25), expected + 0.25 / 86400, 1e-9) << seconds;
    }
}

// A damaged file fails with a message that names it, whether the library
// refuses it, the reader finds it cut short, or the reader dies or hangs on
// it.
TEST(ForeignLoggerFile, DamagedFilesFailWithAnErrorNamingTheFile)
{
    QTemporaryDir folder;
    int made = 0;
    const auto damaged = [&](const char* name, qint64 keep, const QByteArray& junk) {
        QFile source(ForeignLoggerFile(name));
        EXPECT_TRUE(source.open(QIODevice::ReadOnly));
        QByteArray bytes = source.readAll();
        bytes = bytes.left(keep < 0 ? bytes.size() + keep : keep);
        if (!junk.isEmpty())
            bytes.replace(bytes.size() / 2, junk.size(), junk);
        const QString path = folder.filePath(QStringLiteral("damaged-%1-").arg(++made) + QString::fromLatin1(name));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
        return path;
    };
    struct TCase {
        QString File;
        const char* Text;
    };
    const TCase cases[] = {
        {damaged("v5.mat", -100, {}), "it ends inside a variable"},
        {damaged("v5z.mat", -7, {}), "it ends inside a variable"},
        {damaged("v5.mat", 120, {}), "no MATLAB file"},
        {damaged("v73.mat", -1000, {}), "could not be read"},
        {damaged("plain.h5", 2000, {}), "could not be read"},
        {damaged("plain.h5", -1, QByteArray(64, '\xff')), "could not be read"},
        {damaged("v5z.mat", -1, QByteArray(40, '\x5a')), "could not be read"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File.toStdString());
        const QString error = ErrorOf([&] {
            const auto file = OpenLoggerFile(c.File);
            std::vector<int> channels;
            for (std::size_t i = 0; i < file->Nodes().size(); ++i)
                if (file->Nodes()[i].Channel && file->Nodes()[i].Unloadable.isEmpty())
                    channels.push_back(int(i));
            ReadAll(*file, channels, {}, {0, 1e6});
        });
        EXPECT_TRUE(error.contains(c.File)) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.Text))) << error.toStdString();
    }
}

// A reader that dies or stops answering ends the load with a message naming
// the file.
TEST(ForeignLoggerFile, AReaderThatDiesOrHangsIsAnError)
{
    QTemporaryDir folder;
    struct TCase {
        const char* Script;
        const char* Text;
    };
    const TCase cases[] = {
        {"#!/bin/sh\nkill -SEGV $$\n", "the reader stopped unexpectedly"},
        {"#!/bin/sh\nexec sleep 600\n", "the reader gave no answer"},
    };
    for (const TCase& c : cases) {
        const QString script = folder.filePath(QStringLiteral("reader.sh"));
        QFile out(script);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(c.Script);
        out.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        out.close();
        const ReaderProgram reader(script);
        const QString error = ErrorOf([] { TMatFile(ForeignLoggerFile("v5.mat"), 1000); });
        EXPECT_TRUE(error.contains(ForeignLoggerFile("v5.mat"))) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.Text))) << error.toStdString();
    }
}
