#include "database/Database.h"
#include "database/SQLiteDatabase.h"
#include "import/LoadWindow.h"
#include "tests/support/TestDatabases.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TDateTime Date(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(QDate(y, m, d)) + EncodeTime(QTime(h, mi, s, ms));
}

// The ids and times of the records that a select returns.
struct TSelected {
    std::vector<int> Ids;
    std::vector<TDateTime> Times;
};

TSelected SelectIds(const QString& fileName, const TLoadWindow& window)
{
    TSelected selected;
    const auto database = ConnectDatabase("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + fileName + ";");
    const auto rows = database->Select(QStringLiteral("readings"), QStringLiteral("t"), window.Start, window.End);
    const int id = rows->FieldIndex(QStringLiteral("id"));
    const int time = rows->FieldIndex(QStringLiteral("t"));
    while (rows->Next()) {
        selected.Ids.push_back(static_cast<int>(rows->NumberValue(id)));
        selected.Times.push_back(rows->TimeValue(time));
    }
    return selected;
}

} // namespace

// Records just before the start, at the start, inside, at the end and just
// after the end, in each form that SQLite's own date functions take; only the
// three in the window load, with their times read back.
TEST(SQLiteTimes, EveryFormComparesAndReadsWithBothEndsIncluded)
{
    const struct {
        const char* Name;
        const char* Type;
        const char* Values[5];
        bool TimeOfDay;
    } cases[] = {
        {"text with a blank", "datetime",
         {"'1974-09-21 06:59:59.999'", "'1974-09-21 07:00:00'", "'1974-09-21 07:00:30.500'", "'1974-09-21 07:01:00'",
          "'1974-09-21 07:01:00.001'"},
         false},
        {"text with T and milliseconds", "text",
         {"'1974-09-21T06:59:59.999'", "'1974-09-21T07:00:00.000'", "'1974-09-21T07:00:30.5'",
          "'1974-09-21T07:01:00.000'", "'1974-09-21T07:01:00.001'"},
         false},
        {"text to the minute", "timestamp",
         {"'1974-09-21 06:59'", "'1974-09-21 07:00'", "'1974-09-21 07:00:30.5'", "'1974-09-21 07:01'",
          "'1974-09-21 07:01:00.001'"},
         false},
        {"time of day", "time",
         {"'06:59:59.999'", "'07:00:00'", "'07:00:30.500'", "'07:01:00.000'", "'07:01:00.001'"}, true},
        {"Julian days", "real",
         {"julianday('1974-09-21 06:59:59.999')", "julianday('1974-09-21 07:00:00')",
          "julianday('1974-09-21 07:00:30.500')", "julianday('1974-09-21 07:01:00')",
          "julianday('1974-09-21 07:01:00.001')"},
         false},
        {"Unix seconds of local time", "integer",
         {"strftime('%s', '1974-09-21 06:59:59', 'utc')", "strftime('%s', '1974-09-21 07:00:00', 'utc')",
          "strftime('%s', '1974-09-21 07:00:30', 'utc')", "strftime('%s', '1974-09-21 07:01:00', 'utc')",
          "strftime('%s', '1974-09-21 07:01:01', 'utc')"},
         false},
    };
    QTemporaryDir folder;
    int fileNumber = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString fileName = folder.filePath(QString::number(++fileNumber) + QStringLiteral(".db"));
        QStringList statements{QStringLiteral("create table readings (id integer, t %1, v real)").arg(c.Type)};
        for (int i = 0; i < 5; ++i)
            statements << QStringLiteral("insert into readings values (%1, %2, %1)").arg(i + 1).arg(c.Values[i]);
        statements << QStringLiteral("insert into readings values (9, null, 9)");
        MakeSQLiteFile(fileName, statements);

        const TDateTime day = c.TimeOfDay ? 0 : Date(1974, 9, 21);
        const TLoadWindow window = MakeLoadWindow(day + EncodeTime(QTime(7, 0)), 60);
        const TSelected selected = SelectIds(fileName, window);
        EXPECT_EQ(selected.Ids, (std::vector<int>{2, 3, 4}));
        const bool wholeSeconds = QString::fromLatin1(c.Type) == QLatin1String("integer");
        EXPECT_EQ(selected.Times, (std::vector<TDateTime>{day + EncodeTime(QTime(7, 0)),
                                                          day + EncodeTime(QTime(7, 0, 30, wholeSeconds ? 0 : 500)),
                                                          day + EncodeTime(QTime(7, 1))}));
    }
}

TEST(SQLiteTimes, TheFormComesFromAStoredValue)
{
    EXPECT_EQ(SQLiteTimeForm("text", "1974-09-21T07:00:00").Separator, QLatin1Char('T'));
    EXPECT_EQ(SQLiteTimeForm("text", "1974-09-21 07:00:00").Separator, QLatin1Char(' '));
    EXPECT_EQ(SQLiteTimeForm("text", "07:00:00").Kind, TSQLiteTimeForm::TimeOfDayText);
    EXPECT_EQ(SQLiteTimeForm("real", "2442311.5").Kind, TSQLiteTimeForm::JulianDay);
    EXPECT_EQ(SQLiteTimeForm("integer", "0").Kind, TSQLiteTimeForm::UnixSeconds);
    // A window on another day than day 0 takes in no time of day.
    const TSQLiteBounds bounds = SQLiteTimeBounds({TSQLiteTimeForm::TimeOfDayText, QLatin1Char(' ')}, 1.25, 1.5);
    EXPECT_GT(QStringLiteral("23:59:59"), QString()); // sanity of the comparison below
    EXPECT_GT(bounds.Time1.toString(), QStringLiteral("23:59:59.999"));
}
