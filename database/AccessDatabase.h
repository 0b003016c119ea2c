#pragma once

#include "database/Database.h"

// An Access file (.mdb, .accdb) read through libmdb, in the reader program
// plotreel-access-reader (database/accessreader), so that a damaged file
// that crashes libmdb or sends it into an endless loop ends that program
// only. libmdb runs no SQL of the load's kind, so a select scans the table
// and keeps the records whose time field lies in the window; Access stores a
// Date/Time as a day count since 30 December 1899, the same count as
// TDateTime.
class TAccessDatabase : public TDatabase {
public:
    // Opens the file; throws when it cannot be read as an Access file.
    explicit TAccessDatabase(const QString& fileName);
    ~TAccessDatabase() override;

    QStringList Tables() override;
    QStringList Columns(const QString& table) override;
    std::unique_ptr<TDatabaseRows> Select(const QString& table, const QString& timeField, TDateTime time1,
                                          TDateTime time2) override;

private:
    QString mFileName;
    QStringList mTables;
};
