#include "database/Database.h"

#include "database/AccessDatabase.h"
#include "database/DatabaseBackend.h"
#include "database/PostgreSqlDatabase.h"
#include "database/QtSqlDatabase.h"
#include "database/SQLiteDatabase.h"

namespace {

// ODBC's own limit for a login, like OLE DB's providers.
const QString OdbcOptions = QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=15");

} // namespace

std::unique_ptr<TDatabase> ConnectDatabase(const QString& connectionString)
{
    const TConnectionString connection(connectionString);
    const QStringList secrets = ConnectionSecrets(connectionString);
    switch (ChooseDatabaseBackend(connectionString)) {
    case TDatabaseBackend::SqlServer:
        return std::make_unique<TQtSqlDatabase>(QStringLiteral("QODBC"), FreeTdsConnectionString(connection),
                                                OdbcOptions, secrets);
    case TDatabaseBackend::Odbc:
        return std::make_unique<TQtSqlDatabase>(QStringLiteral("QODBC"),
                                                QtOdbcDatabaseName(OdbcConnectionString(connection)), OdbcOptions,
                                                secrets);
    case TDatabaseBackend::AccessFile:
        return std::make_unique<TAccessDatabase>(DataSourceFile(connection));
    case TDatabaseBackend::SQLiteFile:
        return std::make_unique<TSQLiteDatabase>(DataSourceFile(connection));
    case TDatabaseBackend::PostgreSql:
        return std::make_unique<TPostgreSqlDatabase>(connectionString);
    }
    return nullptr;
}

QString LoadStatement(const QString& quotedTable, const QString& quotedTimeField)
{
    return QStringLiteral("select * from ") + quotedTable + QStringLiteral(" where ") + quotedTimeField
           + QStringLiteral(" between :time1 and :time2");
}

QString LostConnectionText()
{
    return QStringLiteral("The connection to the database server was lost.");
}
