#pragma once

#include "common/LoadWindow.h"

#include <QString>
#include <QStringList>

#include <memory>

class TFrameOutput;

// An Access file (.mdb, .accdb) read through libmdb, inside the reader
// process. Every failure that libmdb reports throws an Exception.
class TAccessFile {
public:
    // Opens the file and reads its catalogue.
    explicit TAccessFile(const QString& fileName);
    ~TAccessFile();

    // The user's tables, in the catalogue's order.
    QStringList Tables() const;
    // Every column of a table, in the table's order.
    QStringList Columns(const QString& table) const;
    // Scans the table: a Columns frame, a Row frame for every record whose
    // time field lies in the window, then End. A table that yields fewer
    // records than it says it holds (a page that cannot be read) throws.
    void Select(const QString& table, const QString& timeField, const TLoadWindow& window,
                TFrameOutput& out) const;

private:
    struct THandle;
    QString mFileName;
    std::unique_ptr<THandle> mHandle;
};
