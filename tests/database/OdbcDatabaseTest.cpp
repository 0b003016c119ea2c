#include "common/Exception.h"
#include "database/Database.h"
#include "database/DatabaseBackend.h"
#include "import/LoadWindow.h"
#include "tests/support/TestDatabases.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

// A record as a load reads it: id, time and value.
struct TRecord {
    int Id;
    TDateTime Time;
    double Value;
    bool operator==(const TRecord& o) const { return Id == o.Id && Time == o.Time && Value == o.Value; }
};

std::ostream& operator<<(std::ostream& out, const TRecord& record)
{
    return out << "{" << record.Id << ", " << record.Time << ", " << record.Value << "}";
}

std::vector<TRecord> Select(TDatabase& database, const QString& timeField, const TLoadWindow& window)
{
    std::vector<TRecord> records;
    const auto rows = database.Select(QStringLiteral("readings"), timeField, window.Start, window.End);
    const int id = rows->FieldIndex(QStringLiteral("id"));
    const int time = rows->FieldIndex(timeField);
    const int value = rows->FieldIndex(QStringLiteral("v"));
    while (rows->Next())
        records.push_back({static_cast<int>(rows->NumberValue(id)), rows->TimeValue(time), rows->NumberValue(value)});
    return records;
}

void WriteFile(const QString& fileName, const QByteArray& content)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content), content.size());
}

// Points unixODBC at a list of data sources of the user while it lives.
class TOdbcUserList {
public:
    explicit TOdbcUserList(const QString& fileName)
        : mHad(qEnvironmentVariableIsSet("ODBCINI")), mPrevious(qgetenv("ODBCINI"))
    {
        qputenv("ODBCINI", fileName.toLocal8Bit());
    }
    ~TOdbcUserList()
    {
        if (mHad)
            qputenv("ODBCINI", mPrevious);
        else
            qunsetenv("ODBCINI");
    }
    TOdbcUserList(const TOdbcUserList&) = delete;
    TOdbcUserList& operator=(const TOdbcUserList&) = delete;

private:
    bool mHad;
    QByteArray mPrevious;
};

} // namespace

// An SQLite table read through a live ODBC driver: Debian's libsqliteodbc,
// which registers itself as "SQLite3", reached by QODBC and unixODBC as any
// ODBC source is. The driver sends the bounds as text of the form
// "2024-03-01 07:00:00.000" and SQLite compares texts, so the table holds its
// times in that form; both ends of the window count.
TEST(OdbcDatabase, LoadsAnSQLiteTableThroughTheDriverWithBothEnds)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("readings.db"));
    QStringList statements{QStringLiteral("create table readings (id integer, t timestamp, tt text, v real)")};
    const char* times[] = {"2024-03-01 06:59:59.999", "2024-03-01 07:00:00.000", "2024-03-01 07:00:30.500",
                           "2024-03-01 07:01:00.000", "2024-03-01 07:01:00.001"};
    for (int i = 0; i < 5; ++i)
        statements << QStringLiteral("insert into readings values (%1, '%2', '%2', %1.5)").arg(i + 1).arg(times[i]);
    statements << QStringLiteral("insert into readings values (6, null, null, 6)")
               << QStringLiteral("update readings set v = null where id = 3");
    MakeSQLiteFile(file, statements);

    // A data source of the user's own list (unixODBC reads the system's list
    // from a folder it settles on once per process).
    const QString userList = folder.filePath(QStringLiteral("odbc.ini"));
    WriteFile(userList, "[plotreel_readings]\nDriver=SQLite3\nDatabase=" + file.toLocal8Bit() + "\n");

    const struct {
        QString ConnectionString;
        bool UserList;
    } sources[] = {
        {QStringLiteral("Driver={SQLite3};Database=%1;").arg(file), false},
        {QStringLiteral("Provider=MSDASQL;Driver={SQLite3};Database=%1;").arg(file), false},
        {QStringLiteral("DSN=plotreel_readings;"), true},
    };
    const TDateTime day = EncodeDate(QDate(2024, 3, 1));
    const TLoadWindow window = MakeLoadWindow(day + EncodeTime(QTime(7, 0)), 60);
    const std::vector<TRecord> expected{{2, day + EncodeTime(QTime(7, 0)), 2.5},
                                        {3, day + EncodeTime(QTime(7, 0, 30, 500)), 0},
                                        {4, day + EncodeTime(QTime(7, 1)), 4.5}};
    for (const auto& source : sources) {
        SCOPED_TRACE(source.ConnectionString.toStdString());
        ASSERT_EQ(ChooseDatabaseBackend(source.ConnectionString), TDatabaseBackend::Odbc);
        std::unique_ptr<TDatabase> database;
        {
            std::unique_ptr<TOdbcUserList> list;
            if (source.UserList)
                list = std::make_unique<TOdbcUserList>(userList);
            try {
                database = ConnectDatabase(source.ConnectionString);
            } catch (const Exception& error) {
                FAIL() << error.Message().toStdString()
                       << " (the driver SQLite3 comes with libsqliteodbc: scripts/install-deps.sh --with-tests)";
            }
        }
        EXPECT_EQ(database->Tables(), QStringList({"readings"}));
        EXPECT_EQ(database->Columns(QStringLiteral("readings")), QStringList({"id", "t", "tt", "v"}));
        // A timestamp column comes as a date and time, a text column as text.
        for (const char* field : {"t", "tt"})
            EXPECT_EQ(Select(*database, QString::fromLatin1(field), window), expected) << field;
    }
}

// Qt's ODBC driver puts "DSN=" before a name without "DRIVER=" or "SERVER=":
// such a name starts with the data source's name, without its key.
TEST(QtOdbcDatabaseName, PutsTheDataSourceFirstWhereQtAddsItsKey)
{
    const struct {
        const char* Odbc;
        const char* Name;
    } cases[] = {
        {"DSN=plant;", "plant;"},
        {"UID=me;dsn={Plant 7};PWD={a;b};", "{Plant 7};UID=me;PWD={a;b};"},
        {"Driver={SQLite3};Database=/x.db;", "Driver={SQLite3};Database=/x.db;"},
        {"DSN=plant;Server=h;", "DSN=plant;Server=h;"},
        {"UID=me;", "UID=me;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QtOdbcDatabaseName(QString::fromUtf8(c.Odbc)), QString::fromUtf8(c.Name)) << c.Odbc;
}
