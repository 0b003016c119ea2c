#pragma once

#include <QString>
#include <QtGlobal>

// Copies of the Access fixtures damaged in ways that libmdb does not survive
// on its own. Jet 4 and ACE files are pages of 4096 bytes; a table definition
// page starts with 02 01 and holds the table's record count (32 bits at 16)
// and column count (16 bits at 45); a data page starts with 01 01 and names
// the definition page it belongs to (32 bits at 4).
enum class TAccessDamage {
    // Cut before the data page that holds Table1's records.
    Truncated,
    // The first property record of the catalogue given a length of 0.
    EmptyPropertyRecord,
    // Table1's column count raised past what its definition page holds.
    UnreadableColumns,
    // ace-types.accdb cut after 103 pages, among the long-value pages of the
    // catalogue's properties: libmdb prints a dump of pages to its standard
    // output and goes on.
    CutAmongLongValues,
};

// Writes the damaged copy of a fixture into folder and returns its path.
QString DamagedAccessFile(const QString& folder, const QString& fixture, TAccessDamage damage);

// How a stand-in for the reader program goes on after it has passed on the
// real reader's answer less its last frame (the End of a select).
enum class TReaderEnding {
    Killed,        // dies of SIGKILL
    Stalls,        // sends nothing more
    ScansForever,  // sends Alive frames ten times a second
};

// Writes the stand-in into folder and returns its path. It writes its process
// id to folder/pid.
QString AccessReaderStandIn(const QString& folder, TReaderEnding ending);

// Has the reader jobs run program as the reader while it lives.
class ReaderProgram {
public:
    explicit ReaderProgram(const QString& program) { qputenv("PLOTREEL_READER", program.toLocal8Bit()); }
    ~ReaderProgram() { qunsetenv("PLOTREEL_READER"); }
    ReaderProgram(const ReaderProgram&) = delete;
    ReaderProgram& operator=(const ReaderProgram&) = delete;
};
