#pragma once

#include "database/Database.h"

typedef struct pg_conn PGconn;

// A PostgreSQL database through libpq. The session shows times in the
// computer's time zone and in ISO form, so that timestamptz values read as
// the local wall-clock time; the load's parameters are sent as text of the
// type that the server infers for them from the time field.
class TPostgreSqlDatabase : public TDatabase {
public:
    // Connects; throws libpq's description of a failure, the secrets hidden.
    explicit TPostgreSqlDatabase(const QString& connectionString);
    ~TPostgreSqlDatabase() override;

    QStringList Tables() override;
    QStringList Columns(const QString& table) override;
    std::unique_ptr<TDatabaseRows> Select(const QString& table, const QString& timeField, TDateTime time1,
                                          TDateTime time2) override;
    bool Lost() const override;

private:
    void UseLocalTimeZone();

    PGconn* mConnection = nullptr;
    QStringList mSecrets;
};

// The text of a load's parameter for a parameter of the PostgreSQL type oid:
// a time of day (time, timetz) lies on day 0, a date bound takes in the whole
// days inside the window (start rounds up, end down), anything else is the
// wall-clock timestamp to the microsecond.
QByteArray PostgreSqlTimeParameter(unsigned int typeOid, TDateTime value, bool isEnd);
