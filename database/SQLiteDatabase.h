#pragma once

#include "database/Database.h"

#include <QVariant>

typedef struct sqlite3 sqlite3;

// How a column of an SQLite file holds its times. SQLite has no time type:
// its date and time functions take text, Julian day numbers and Unix seconds.
struct TSQLiteTimeForm {
    enum TKind {
        DateTimeText, // "YYYY-MM-DD HH:MM:SS[.fff]", the blank or a "T" between
        TimeOfDayText, // "HH:MM:SS[.fff]", on day 0
        JulianDay,    // REAL
        UnixSeconds,  // INTEGER, of a local wall-clock time
    };
    TKind Kind = DateTimeText;
    QChar Separator = QLatin1Char(' ');
};

// The form of a column from one stored value: its storage class (typeof) and
// its text.
TSQLiteTimeForm SQLiteTimeForm(const QString& storageClass, const QString& sample);

// The values for :time1 and :time2 that make the load's "between" compare
// right against values of the form, both ends included: text in the column's
// own shape (text compares character by character), or numbers. With Filter
// the bounds were widened by a millisecond and the rows are to be tested on
// reading.
struct TSQLiteBounds {
    QVariant Time1;
    QVariant Time2;
    bool Filter = false;
};
TSQLiteBounds SQLiteTimeBounds(const TSQLiteTimeForm& form, TDateTime time1, TDateTime time2);

// An SQLite file, opened read-only through SQLite's own interface.
class TSQLiteDatabase : public TDatabase {
public:
    // Opens the file; throws SQLite's description of a failure.
    explicit TSQLiteDatabase(const QString& fileName);
    ~TSQLiteDatabase() override;

    QStringList Tables() override;
    QStringList Columns(const QString& table) override;
    std::unique_ptr<TDatabaseRows> Select(const QString& table, const QString& timeField, TDateTime time1,
                                          TDateTime time2) override;

private:
    sqlite3* mDatabase = nullptr;
};
