#pragma once

#include "database/ConnectionString.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The kinds of database that a connection string can name.
enum class TDatabaseBackend {
    SqlServer,  // Provider=SQLOLEDB, SQLNCLI*, MSOLEDBSQL*: FreeTDS over ODBC
    AccessFile, // Provider=Microsoft.Jet.OLEDB.4.0 or Microsoft.ACE.OLEDB.*: libmdb
    SQLiteFile, // the same providers naming an SQLite file
    Odbc,       // Provider=MSDASQL, or Driver=... / DSN=... without a provider
    PostgreSql, // a postgresql:// or postgres:// URI, or Provider=PostgreSQL
};

// The backend for a connection string. The data source of an Access provider
// is looked at: a file that starts with SQLite's header is an SQLite file.
// Throws the Exception of a description that lists the providers understood
// when the string names none of them.
TDatabaseBackend ChooseDatabaseBackend(const QString& connectionString);

// The ODBC connection string for FreeTDS that reaches the SQL Server of an
// OLE DB connection string.
QString FreeTdsConnectionString(const TConnectionString& connection);
// An ODBC connection string as it was written, less the OLE DB Provider key.
QString OdbcConnectionString(const TConnectionString& connection);
// The database name that has Qt's ODBC driver hand an ODBC connection string
// to the driver manager as written. That driver puts "DSN=" before every name
// without "DRIVER=" or "SERVER=" in it, so there the data source's name goes
// first, without its key.
QString QtOdbcDatabaseName(const QString& odbcConnectionString);
// The file named by Data Source.
QString DataSourceFile(const TConnectionString& connection);

// A postgresql:// or postgres:// address.
bool IsPostgreSqlUri(const QString& connectionString);
// libpq's keywords and values for a PostgreSQL connection string, in order; a
// URI is handed over whole as dbname, which libpq expands.
using TKeywordValues = QList<QPair<QByteArray, QByteArray>>;
TKeywordValues PostgreSqlKeywords(const QString& connectionString);

// The passwords a connection string holds, as written and as decoded, to be
// kept out of every message.
QStringList ConnectionSecrets(const QString& connectionString);
// text with every secret replaced by asterisks.
QString HideSecrets(QString text, const QStringList& secrets);
