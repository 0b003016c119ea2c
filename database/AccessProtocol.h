#pragma once

#include "common/DateTime.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// What the Access reader program (database/accessreader) writes to its
// standard output for TAccessDatabase: frames of a kind byte, a 32-bit
// little-endian payload length and the payload. Numbers are little-endian,
// texts a 32-bit length and UTF-8 bytes.
enum class TAccessFrame : quint8 {
    Names = 1,   // the answer to a tables or columns job: a count and texts
    Error = 2,   // a text; the job has ended
    Columns = 3, // the first answer to a select: a count and, per column, name, kind, type name
    Row = 4,     // one record in the window: per column a presence byte and the value
    Alive = 5,   // nothing: the reader is still scanning
    End = 6,     // the select has read every record of the table
};

// How the values of a column travel and what they can be read as.
enum class TAccessKind : quint8 {
    Date,       // a day count since 30 December 1899: a time, or its number
    Number,     // a number that is no time
    Text,       // a text, parsed as a time or as a number
    DecimalText, // the text of a Decimal, parsed as a number only
    Other,      // no value that reads as a time or a number (Yes/No, binary, ...)
};

struct TAccessColumn {
    QString Name;
    TAccessKind Kind = TAccessKind::Other;
    QString TypeName; // for the error about a value that cannot be read
};

// A value of a record; Number for the kinds Date and Number, Text for the
// texts.
struct TAccessValue {
    bool Null = true;
    double Number = 0;
    QByteArray Text;
};

// A value as a time or as a number: NULL reads as 0, a text is parsed; a
// value of a kind that cannot be read so throws an Exception naming the
// column.
TDateTime AccessTime(const TAccessColumn& column, const TAccessValue& value);
double AccessNumber(const TAccessColumn& column, const TAccessValue& value);

// Frames appended to out.
void AppendNames(QByteArray& out, const QStringList& names);
void AppendError(QByteArray& out, const QString& message);
void AppendColumns(QByteArray& out, const std::vector<TAccessColumn>& columns);
void AppendRow(QByteArray& out, const std::vector<TAccessColumn>& columns, const std::vector<TAccessValue>& values);
void AppendEmptyFrame(QByteArray& out, TAccessFrame kind);

// Reads the payload of a frame; every read past its end throws
// TDamagedPayload.
class TPayloadReader {
public:
    TPayloadReader(const char* data, quint32 size) : mData(data), mEnd(data + size) {}

    QStringList Names();
    QString Text();
    std::vector<TAccessColumn> Columns();
    // values takes the record's values, one per column.
    void Row(const std::vector<TAccessColumn>& columns, std::vector<TAccessValue>& values);

private:
    quint8 Byte();
    quint32 Length();
    double Number();
    QByteArray Bytes();

    const char* mData;
    const char* mEnd;
};

class TDamagedPayload : public std::exception {
public:
    const char* what() const noexcept override { return "A frame of the Access reader is damaged."; }
};
