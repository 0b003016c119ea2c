#pragma once

#include "database/Database.h"

#include <QSqlDatabase>
#include <QSqlQuery>

class QSqlError;

// A database reached through one of Qt's SQL drivers (ODBC). The times of a
// load are bound as date-time values, which the ODBC driver sends as
// wall-clock timestamps.
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

private:
    QSqlDatabase Database() const;
    QString Quote(const QString& name, bool table) const;
    [[noreturn]] void Fail(const QSqlError& error) const;

    QString mConnectionName;
    QStringList mSecrets;
};
