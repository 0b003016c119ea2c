#include "common/Exception.h"
#include "database/AccessDatabase.h"
#include "tests/support/DamagedAccessFiles.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TestDatabases.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

// Every record of Table1 in the two centuries from 1899 as (G, F).
std::vector<std::pair<double, double>> ReadTable1(TDatabase& database)
{
    std::vector<std::pair<double, double>> records;
    const auto rows = database.Select(QStringLiteral("Table1"), QStringLiteral("G"), 0, 80000);
    while (rows->Next())
        records.emplace_back(rows->TimeValue(rows->FieldIndex("G")), rows->NumberValue(rows->FieldIndex("F")));
    return records;
}

// A watcher that cancels at its first report.
class CancelAtOnce : public TLoadProgress {
public:
    bool Step(qint64, qint64) override
    {
        ++Steps;
        return false;
    }
    int Steps = 0;
};

bool ProcessExists(const QString& pidFile)
{
    QFile file(pidFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const pid_t pid = file.readAll().trimmed().toInt();
    return pid > 0 && ::kill(pid, 0) == 0;
}

} // namespace

// Each damage fails where libmdb meets it, with an error that names the file
// (libmdb would crash, loop for ever or load a table with records missing),
// and the connection serves what it still can.
TEST(AccessReader, DamagedFilesFailWithAnErrorNamingTheFile)
{
    QTemporaryDir folder;
    struct TCase {
        TAccessDamage Damage;
        const char* Fixture;
        const char* Stage; // where the error comes: connect, columns or select
        const char* Text;
    };
    const TCase cases[] = {
        {TAccessDamage::Truncated, "ace-types.accdb", "select", "the table 'Table1' ends after 0 of its 2 records"},
        {TAccessDamage::EmptyPropertyRecord, "jet4-types.mdb", "connect", "the reader gave no answer for 1 seconds"},
        {TAccessDamage::EmptyPropertyRecord, "ace-types.accdb", "connect", "the reader gave no answer for 1 seconds"},
        {TAccessDamage::UnreadableColumns, "jet4-types.mdb", "columns",
         "the columns of the table 'Table1' cannot be read"},
        {TAccessDamage::UnreadableColumns, "ace-types.accdb", "columns",
         "the columns of the table 'Table1' cannot be read"},
    };
    for (const TCase& c : cases) {
        const QString file = DamagedAccessFile(folder.path(), QString::fromLatin1(c.Fixture), c.Damage);
        SCOPED_TRACE(file.toStdString());
        QElapsedTimer timer;
        timer.start();
        QString stage = QStringLiteral("connect");
        const QString error = ErrorOf([&] {
            TAccessDatabase database(file, 1000);
            EXPECT_TRUE(database.Tables().contains("Table1"));
            stage = QStringLiteral("columns");
            database.Columns(QStringLiteral("Table1"));
            stage = QStringLiteral("select");
            ReadTable1(database);
        });
        EXPECT_EQ(stage, QString::fromLatin1(c.Stage));
        EXPECT_EQ(error.left(error.indexOf(':')), QStringLiteral("The file '%1' could not be read").arg(file));
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.Text))) << error.toStdString();
        EXPECT_LT(timer.elapsed(), 5000);
    }
}

// A reader that ends before the end of the answer: the records it sent come
// first, then the error, whether it was killed, stalls, or scans on until
// the user cancels; the reader does not outlive the load.
TEST(AccessReader, AReaderThatEndsEarlyFailsAfterTheRecordsItSent)
{
    const QString fixture = AccessFixture(QStringLiteral("jet4-types.mdb"));
    TAccessDatabase database(fixture, 1000);
    const std::vector<std::pair<double, double>> whole = ReadTable1(database);
    ASSERT_EQ(whole.size(), 2u);

    for (TReaderEnding ending : {TReaderEnding::Killed, TReaderEnding::Stalls, TReaderEnding::ScansForever}) {
        SCOPED_TRACE(int(ending));
        QTemporaryDir folder;
        const ReaderProgram standIn(AccessReaderStandIn(folder.path(), ending));
        std::vector<std::pair<double, double>> records;
        CancelAtOnce cancel;
        bool cancelled = false;
        const QString error = ErrorOf([&] {
            try {
                const auto rows = database.Select(QStringLiteral("Table1"), QStringLiteral("G"), 0, 80000);
                rows->ReportWaitsTo(&cancel);
                while (rows->Next())
                    records.emplace_back(rows->TimeValue(6), rows->NumberValue(5));
            } catch (const LoadCancelled&) {
                cancelled = true;
            }
        });
        EXPECT_EQ(records, whole);
        switch (ending) {
        case TReaderEnding::Killed:
            EXPECT_EQ(error, QStringLiteral("The file '%1' could not be read: the reader stopped unexpectedly.")
                                 .arg(fixture));
            break;
        case TReaderEnding::Stalls:
            EXPECT_EQ(error, QStringLiteral("The file '%1' could not be read: the reader gave no answer for 1 "
                                            "seconds and was stopped.")
                                 .arg(fixture));
            break;
        case TReaderEnding::ScansForever:
            EXPECT_TRUE(cancelled);
            EXPECT_EQ(cancel.Steps, 1);
            break;
        }
        EXPECT_FALSE(ProcessExists(folder.filePath("pid")));
    }
}

// What libmdb prints on a damaged file reaches neither the answer nor this
// process's error output.
TEST(AccessReader, LibmdbsPrintingStaysOutOfTheAnswer)
{
    QTemporaryDir folder;
    const QString file = DamagedAccessFile(folder.path(), "ace-types.accdb", TAccessDamage::CutAmongLongValues);
    testing::internal::CaptureStderr();
    const QString error = ErrorOf([&] {
        TAccessDatabase database(file);
        EXPECT_EQ(ReadTable1(database).size(), 2u);
    });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
}

TEST(AccessReader, AMissingReaderProgramFailsToConnect)
{
    const ReaderProgram missing(QStringLiteral("/no/such/plotreel-reader"));
    const QString error = ErrorOf([] { TAccessDatabase(AccessFixture(QStringLiteral("ace-types.accdb"))); });
    EXPECT_TRUE(error.contains("ace-types.accdb")) << error.toStdString();
    EXPECT_TRUE(error.contains("/no/such/plotreel-reader")) << error.toStdString();
}
