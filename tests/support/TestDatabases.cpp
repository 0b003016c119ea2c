#include "tests/support/TestDatabases.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <stdexcept>

namespace {

QString PostgresAddress(const QString& database)
{
    return QStringLiteral("postgresql://postgres@127.0.0.1:%1/%2").arg(PostgresPort(), database);
}

void RunPostgres(const QString& database, const QStringList& statements)
{
    PGconn* connection = PQconnectdb(PostgresAddress(database).toUtf8().constData());
    ASSERT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
    for (const QString& statement : statements) {
        PGresult* result = PQexec(connection, statement.toUtf8().constData());
        const ExecStatusType status = PQresultStatus(result);
        EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            << statement.toStdString() << ": " << PQresultErrorMessage(result);
        PQclear(result);
    }
    PQfinish(connection);
}

} // namespace

void MakeSQLiteFile(const QString& fileName, const QStringList& statements)
{
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(fileName);
        ASSERT_TRUE(database.open()) << database.lastError().text().toStdString();
        QSqlQuery query(database);
        for (const QString& statement : statements)
            EXPECT_TRUE(query.exec(statement)) << statement.toStdString() << ": " << query.lastError().text().toStdString();
        query.finish();
        database.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QString PostgresPort()
{
    return qEnvironmentVariable("PLOTREEL_PG_PORT");
}

QString MakePostgresDatabase(const QString& name, const QStringList& statements)
{
    RunPostgres(QStringLiteral("postgres"), {QStringLiteral("drop database if exists \"%1\"").arg(name),
                                             QStringLiteral("create database \"%1\"").arg(name)});
    RunPostgres(name, statements);
    return PostgresAddress(name);
}

void EndPostgresSessions(const QString& name)
{
    RunPostgres(QStringLiteral("postgres"),
                {QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity where datname = '%1'").arg(name)});
}

QString AccessFixture(const QString& fileName)
{
    const QString path = QStringLiteral(PLOTREEL_FIXTURES "/access/") + fileName;
    // Thrown rather than expected: a test that went on would wait for the
    // error box of the missing file.
    if (!QFileInfo(path).isFile())
        throw std::runtime_error("missing fixture " + path.toStdString()
                                 + " (set the CMake variable PLOTREEL_FIXTURES to the shared fixtures folder)");
    return path;
}
