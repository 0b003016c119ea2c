#pragma once

#include "common/DateTime.h"

#include <QString>
#include <QStringList>

#include <memory>

// The records of a load, read field by field.
class TDatabaseRows {
public:
    virtual ~TDatabaseRows() = default;

    // Moves to the next record; false after the last.
    virtual bool Next() = 0;
    // The position of a field of the records; throws when there is none.
    virtual int FieldIndex(const QString& name) const = 0;
    // A field of the current record as a date and time. NULL reads as 0, a
    // text is parsed; a value of another kind throws.
    virtual TDateTime TimeValue(int field) = 0;
    // A field of the current record as a number. NULL reads as 0, a date and
    // time as its day count, a text is parsed; a value of another kind throws.
    virtual double NumberValue(int field) = 0;
};

// An open connection to a database.
class TDatabase {
public:
    virtual ~TDatabase() = default;

    // The user's tables and views, in the order of the database's catalogue.
    virtual QStringList Tables() = 0;
    // Every column of a table, in the catalogue's order.
    virtual QStringList Columns(const QString& table) = 0;
    // The records of a table whose time field lies between time1 and time2,
    // both included, in the order the database returns them. The SQL
    // backends run the statement of LoadStatement.
    virtual std::unique_ptr<TDatabaseRows> Select(const QString& table, const QString& timeField, TDateTime time1,
                                                  TDateTime time2) = 0;
    // True once the server has gone away: the connection serves no more.
    virtual bool Lost() const { return false; }
};

// The words that start the message of a command that failed because the
// server went away.
QString LostConnectionText();

// Connects by a connection string (see ChooseDatabaseBackend). Throws the
// Exception of the database layer's description of the failure; no password
// of the string appears in it.
std::unique_ptr<TDatabase> ConnectDatabase(const QString& connectionString);

// The statement of a load, with the table's and the time field's names as
// the backend quotes them and the parameters :time1 and :time2.
QString LoadStatement(const QString& quotedTable, const QString& quotedTimeField);
