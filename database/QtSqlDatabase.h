#pragma once

#include "database/Database.h"

#include <QSqlDatabase>
#include <QSqlQuery>

class QSqlError;

// A database reached through one of Qt's SQL drivers (ODBC, SQLite).
class TQtSqlDatabase : public TDatabase {
public:
    // Opens the database; throws the driver's description of a failure, the
    // secrets hidden.
    TQtSqlDatabase(const QString& driver, const QString& databaseName, const QString& connectOptions,
                   const QStringList& secrets);
    ~TQtSqlDatabase() override;

    QStringList Tables() override;
    QStringList Columns(const QString& table) override;
    std::unique_ptr<TDatabaseRows> Select(const QString& table, const QString& timeField, TDateTime time1,
                                          TDateTime time2) override;

protected:
    // How the rows of a select read and keep their records.
    struct TRowRules {
        // Numbers in the time field are SQLite's: an integer counts Unix
        // seconds, a real number Julian days.
        bool NumericTimes = false;
        // Rows whose time lies outside the bounds are skipped (the bounds
        // given to the database were widened).
        bool Filter = false;
    };
    // Binds :time1 and :time2 for a time field: here as date-time values,
    // which the ODBC driver sends as wall-clock timestamps.
    virtual TRowRules BindTimes(QSqlQuery& query, const QString& quotedTable, const QString& quotedField,
                                TDateTime time1, TDateTime time2);
    // Whether a table of the catalogue is the database's own.
    virtual bool IsSystemTable(const QString& name) const;

    QSqlDatabase Database() const;
    QString Quote(const QString& name, bool table) const;
    [[noreturn]] void Fail(const QSqlError& error) const;

private:
    QString mConnectionName;
    QStringList mSecrets;
};
