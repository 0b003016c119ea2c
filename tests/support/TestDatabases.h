#pragma once

#include <QString>
#include <QStringList>

// Databases for the tests: SQLite files written here, and databases on the
// private PostgreSQL server that the test command starts (scripts/postgres.sh
// exports its port as PLOTREEL_PG_PORT).

// Writes an SQLite file by running the statements; fails the test on an error.
void MakeSQLiteFile(const QString& fileName, const QStringList& statements);

// The port of the test server, or empty text when none was started.
QString PostgresPort();
// Creates the database anew (dropping one of that name) and runs the
// statements in it; returns its postgresql:// address.
QString MakePostgresDatabase(const QString& name, const QStringList& statements);
// Ends every session of the database, as a server that goes away would.
void EndPostgresSessions(const QString& name);

// An Access file of the shared fixtures; throws std::runtime_error naming its
// path when it is missing.
QString AccessFixture(const QString& fileName);

#define SKIP_WITHOUT_POSTGRES()                                                                                 \
    if (PostgresPort().isEmpty())                                                                               \
    GTEST_SKIP() << "PLOTREEL_PG_PORT is not set: run the tests through scripts/test.sh, or start a server with " \
                    "`source scripts/postgres.sh`"
