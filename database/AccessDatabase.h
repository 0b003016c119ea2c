#pragma once

#include "database/Database.h"

// An Access file (.mdb, .accdb), read by libmdb in the reader program
// plotreel-reader (reader/program), one process per job, so
// that a damaged file that crashes or hangs libmdb ends only that process: the
// job then fails with an Exception that names the file. libmdb runs no SQL of
// the load's kind, so the reader scans the table and keeps the records whose
// time field lies in the window; Access stores a Date/Time as a day count
// since 30 December 1899, the same count as TDateTime.
class TAccessDatabase : public TDatabase {
public:
    // How long the reader may stay silent before it counts as hung.
    static constexpr int SilenceLimitMs = 10000;

    // Opens the file and lists its tables; throws when it cannot be read as
    // an Access file.
    explicit TAccessDatabase(const QString& fileName, int silenceLimitMs = SilenceLimitMs);

    QStringList Tables() override;
    QStringList Columns(const QString& table) override;
    std::unique_ptr<TDatabaseRows> Select(const QString& table, const QString& timeField, TDateTime time1,
                                          TDateTime time2) override;

private:
    QString mFileName;
    int mSilenceLimitMs;
    QStringList mTables;
};
