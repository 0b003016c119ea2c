#pragma once

#include "database/Database.h"

typedef struct pg_conn PGconn;

// A PostgreSQL database through libpq. The session shows times in the
// computer's time zone and in ISO form, so that timestamptz values read as
// the local wall-clock time; the load's parameters are sent as text of the
// type that the server infers for them from the time field.
//
// Every wait for the server watches the connection's socket: a load's wait
// for its records tells the progress that the load reports to, whose Cancel
// stops the command on the server and leaves the connection fit for the next
// load. The other commands (the catalogue, the load's preparation) have no
// Cancel: a server that does not answer them within the answer limit ends
// them in an error that says so.
class TPostgreSqlDatabase : public TDatabase {
public:
    static constexpr int AnswerLimitMs = 30000;

    // Connects; throws libpq's description of a failure, the secrets hidden.
    explicit TPostgreSqlDatabase(const QString& connectionString, int answerLimitMs = AnswerLimitMs);
    ~TPostgreSqlDatabase() override;

    QStringList Tables() override;
    QStringList Columns(const QString& table) override;
    std::unique_ptr<TDatabaseRows> Select(const QString& table, const QString& timeField, TDateTime time1,
                                          TDateTime time2) override;
    bool Lost() const override;

    // The most bytes of values that one block of the loads' records has held
    // (the records come a block at a time, as many in a block as fit a
    // budget of bytes); for the tests.
    qint64 LargestBlockBytes() const { return mLargestBlockBytes; }

private:
    // The first column of a query's rows, the query taking one parameter.
    QStringList FirstColumn(const char* query, const QByteArray& parameter);

    PGconn* mConnection = nullptr;
    QStringList mSecrets;
    int mAnswerLimitMs;
    qint64 mLargestBlockBytes = 0;
};

// The text of a load's parameter for a parameter of the PostgreSQL type oid:
// a time of day (time, timetz) lies on day 0, a date bound takes in the whole
// days inside the window (start rounds up, end down), a text one (a time
// field of a text type, compared as text) is the shortest text of the start
// or the longest of the end (see SqlStartText), anything else is the
// wall-clock timestamp to the microsecond.
QByteArray PostgreSqlTimeParameter(unsigned int typeOid, TDateTime value, bool isEnd);
