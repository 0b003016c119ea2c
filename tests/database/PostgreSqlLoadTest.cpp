#include "common/Exception.h"
#include "common/LoadProgress.h"
#include "database/PostgreSqlDatabase.h"
#include "import/LoadWindow.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TestDatabases.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <libpq-fe.h>

namespace {

TDateTime Date(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(QDate(y, m, d)) + EncodeTime(QTime(h, mi, s, ms));
}

// A load's progress that counts its calls and answers with `act`, which
// hears the milliseconds since the first call.
class TWatch : public TLoadProgress {
public:
    explicit TWatch(std::function<bool(qint64)> act) : mAct(std::move(act)) {}
    bool Step(qint64, qint64) override
    {
        if (Calls++ == 0)
            Since.start();
        return mAct(Since.elapsed());
    }
    int Calls = 0;
    QElapsedTimer Since;

private:
    std::function<bool(qint64)> mAct;
};

// A table of three records, and a view of them that sleeps 30 s first.
QString SleepingDatabase(const QString& name)
{
    return MakePostgresDatabase(
        name, {"create table series (t timestamp, v double precision)",
               "insert into series values ('2024-03-01 07:00:00', 1), ('2024-03-01 07:00:01', 2), "
               "('2024-03-01 07:00:02', 3)",
               "create view sleepy as select s.t, s.v from series s cross join pg_sleep(30)"});
}

// The values of field v of the records in the window.
std::vector<double> Values(TDatabase& database, const QString& table, TDateTime start, TDateTime end)
{
    std::vector<double> values;
    const auto rows = database.Select(table, "t", start, end);
    const int v = rows->FieldIndex("v");
    while (rows->Next())
        values.push_back(rows->NumberValue(v));
    return values;
}

} // namespace

// While the server sleeps the load keeps reporting; Cancel there stops the
// query at once, and the connection loads the next table.
TEST(PostgreSqlLoad, ACancelStopsAQueryThatSleepsAndTheConnectionLoadsOn)
{
    SKIP_WITHOUT_POSTGRES();
    TPostgreSqlDatabase database(SleepingDatabase(QStringLiteral("plotreel_sleep")));
    const TDateTime start = Date(2024, 3, 1, 7);
    QElapsedTimer timer;
    timer.start();
    auto rows = database.Select("sleepy", "t", start, start + 1);
    // Declaring the cursor runs nothing yet.
    EXPECT_LT(timer.elapsed(), 1000);
    qint64 cancelledAt = -1;
    TWatch watch([&](qint64 ms) {
        if (ms < 400)
            return true;
        cancelledAt = timer.elapsed();
        return false;
    });
    rows->ReportWaitsTo(&watch);
    EXPECT_THROW(rows->Next(), LoadCancelled);
    rows.reset();
    ASSERT_GE(cancelledAt, 0);
    EXPECT_LT(timer.elapsed() - cancelledAt, 1000);
    // Reports at least every 50 ms or so, so the progress dialog shows in time.
    EXPECT_GE(watch.Calls, 6);
    EXPECT_EQ(Values(database, "series", start, start + 1), (std::vector<double>{1, 2, 3}));
    EXPECT_FALSE(database.Lost());
}

// The server goes away while the load waits: the load says the connection
// was lost.
TEST(PostgreSqlLoad, AServerThatGoesAwayDuringAWaitIsALostConnection)
{
    SKIP_WITHOUT_POSTGRES();
    const QString name = QStringLiteral("plotreel_sleep_lost");
    TPostgreSqlDatabase database(SleepingDatabase(name));
    const TDateTime start = Date(2024, 3, 1, 7);
    const auto rows = database.Select("sleepy", "t", start, start + 1);
    bool ended = false;
    TWatch watch([&](qint64 ms) {
        if (ms >= 200 && !ended) {
            EndPostgresSessions(name);
            ended = true;
        }
        return ms < 10000;
    });
    rows->ReportWaitsTo(&watch);
    const QString error = ErrorOf([&] { rows->Next(); });
    EXPECT_TRUE(ended);
    EXPECT_TRUE(error.startsWith(LostConnectionText())) << error.toStdString();
    EXPECT_TRUE(database.Lost());
}

// A table held locked by another session: the load's preparation, which has
// no Cancel, ends in an error after the answer limit, and the connection
// serves once the lock is gone.
TEST(PostgreSqlLoad, AServerThatDoesNotAnswerEndsThePreparationAfterTheLimit)
{
    SKIP_WITHOUT_POSTGRES();
    const QString address = SleepingDatabase(QStringLiteral("plotreel_locked"));
    TPostgreSqlDatabase database(address, 1000);
    PGconn* other = PQconnectdb(address.toUtf8().constData());
    ASSERT_EQ(PQstatus(other), CONNECTION_OK);
    PQclear(PQexec(other, "BEGIN; LOCK TABLE series IN ACCESS EXCLUSIVE MODE"));
    const TDateTime start = Date(2024, 3, 1, 7);
    QElapsedTimer timer;
    timer.start();
    const QString error = ErrorOf([&] { database.Select("series", "t", start, start + 1); });
    EXPECT_EQ(error, "The database server did not answer within 1 seconds.");
    EXPECT_LT(timer.elapsed(), 3000);
    PQfinish(other);
    EXPECT_EQ(Values(database, "series", start, start + 1), (std::vector<double>{1, 2, 3}));
}

// Records of 20 MB of text in a field that is not loaded, then ordinary ones:
// a big record comes alone, not in a block of thousands, and every record
// loads.
TEST(PostgreSqlLoad, BlocksAreBoundedByBytes)
{
    SKIP_WITHOUT_POSTGRES();
    constexpr qint64 BigBytes = 20000000;
    TPostgreSqlDatabase database(MakePostgresDatabase(
        QStringLiteral("plotreel_wide"),
        {"create table wide (t timestamp, v double precision, notes text)",
         "insert into wide select timestamp '2024-03-01' + i * interval '1 s', i, repeat('x', 20000000) "
         "from generate_series(0, 3) i",
         "insert into wide select timestamp '2024-03-01' + i * interval '1 s', i, 'short' "
         "from generate_series(4, 2999) i"}));
    const TDateTime start = Date(2024, 3, 1);
    std::vector<double> expected(3000);
    for (std::size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<double>(i);
    EXPECT_EQ(Values(database, "wide", start, start + 1), expected);
    EXPECT_GE(database.LargestBlockBytes(), BigBytes);
    EXPECT_LT(database.LargestBlockBytes(), 2 * BigBytes);
}

// A time field of a text type compares as the times it holds, in the forms
// that the load reads: with or without a fraction at the window's edges, a
// "T" between date and time, a time of day alone on day 0; a text that is no
// time is left out and fails nothing. The same for text, varchar and char.
TEST(PostgreSqlLoad, ATextTimeFieldComparesAsTimes)
{
    SKIP_WITHOUT_POSTGRES();
    TPostgreSqlDatabase database(MakePostgresDatabase(
        QStringLiteral("plotreel_text_times"),
        {"create table stamps (v int, t text)",
         "insert into stamps values (1, '2016-10-31 06:59:59.999'), (2, '2016-10-31 07:00:00.000'), "
         "(3, '2016-10-31 07:00:00'), (4, '2016-10-31T07:00:30.5'), (5, ' 2016-10-31 07:01:00 '), "
         "(6, '2016-10-31 07:01:00.001'), (7, '2016-10-31'), (8, '07:00:00.000'), (9, '07:00:30'), "
         "(10, '07:01:00.001'), (11, 'n/a'), (12, ''), (13, null), (14, '2016-10-31 07:00:20+02')",
         "create view stamps_varchar as select v, t::varchar(40) as t from stamps",
         "create view stamps_char as select v, t::char(30) as t from stamps"}));
    const TDateTime day = Date(2016, 10, 31);
    const TLoadWindow dated = MakeLoadWindow(Date(2016, 10, 31, 7), 60);
    const TLoadWindow dayZero = MakeLoadWindow(EncodeTime(QTime(7, 0)), 60);
    const std::vector<std::pair<double, TDateTime>> inDated{{2, Date(2016, 10, 31, 7)},
                                                            {3, Date(2016, 10, 31, 7)},
                                                            {4, day + EncodeTime(QTime(7, 0, 30, 500))},
                                                            {5, Date(2016, 10, 31, 7, 1)},
                                                            {14, Date(2016, 10, 31, 7, 0, 20)}};
    const std::vector<std::pair<double, TDateTime>> inDayZero{{8, EncodeTime(QTime(7, 0))},
                                                              {9, EncodeTime(QTime(7, 0, 30))}};
    for (const char* table : {"stamps", "stamps_varchar", "stamps_char"}) {
        SCOPED_TRACE(table);
        for (const auto& [window, expected] : {std::pair(dated, inDated), std::pair(dayZero, inDayZero)}) {
            std::vector<std::pair<double, TDateTime>> read;
            const auto rows = database.Select(table, "t", window.Start, window.End);
            const int v = rows->FieldIndex("v");
            const int t = rows->FieldIndex("t");
            while (rows->Next())
                read.emplace_back(rows->NumberValue(v), rows->TimeValue(t));
            std::sort(read.begin(), read.end());
            EXPECT_EQ(read, expected);
        }
    }
}
