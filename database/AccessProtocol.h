#pragma once

#include "common/DateTime.h"
#include "reader/ReaderFrames.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The frames of the reader program's Access jobs (reader/ReaderFrames.h),
// which TAccessDatabase reads, besides Error and Alive.
enum class TAccessFrame : quint8 {
    Names = 1,   // the answer to a tables or columns job: a count and texts
    Columns = 3, // the first answer to a select: a count and, per column, name, kind, type name
    Row = 4,     // one record in the window: per column a presence byte and the value
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
void AppendColumns(QByteArray& out, const std::vector<TAccessColumn>& columns);
void AppendRow(QByteArray& out, const std::vector<TAccessColumn>& columns, const std::vector<TAccessValue>& values);
void AppendEmptyFrame(QByteArray& out, TAccessFrame kind);

// Payloads read; a damaged one throws TDamagedPayload.
QStringList ReadNames(TPayloadReader& payload);
std::vector<TAccessColumn> ReadColumns(TPayloadReader& payload);
// values takes the record's values, one per column.
void ReadRow(TPayloadReader& payload, const std::vector<TAccessColumn>& columns, std::vector<TAccessValue>& values);
