#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <exception>

// The frames the reader program (reader/program) writes to its standard
// output: a kind byte, a 32-bit little-endian payload length and the payload.
// Numbers are little-endian, texts a 32-bit length and UTF-8 bytes. Every job
// may send Error and Alive; the other kinds belong to the jobs.
enum class TReaderFrame : quint8 {
    Error = 2, // a text; the job has ended
    Alive = 5, // nothing: the reader is still working
};

// Writing frames: StartFrame appends the kind and room for the length, the
// payload follows, and FinishFrame writes the length in.
qsizetype StartFrame(QByteArray& out, quint8 kind);
void FinishFrame(QByteArray& out, qsizetype at);
void AppendEmptyFrame(QByteArray& out, quint8 kind);
void AppendError(QByteArray& out, const QString& message);

void AppendLength(QByteArray& out, quint32 value);
void AppendNumber(QByteArray& out, double value);
void AppendBytes(QByteArray& out, const QByteArray& bytes);
void AppendNumbers(QByteArray& out, const double* values, quint32 count);
void AppendText(QByteArray& out, const QString& text);

// Reads the payload of a frame; every read past its end throws
// TDamagedPayload.
class TPayloadReader {
public:
    TPayloadReader(const char* data, quint32 size) : mData(data), mEnd(data + size) {}

    quint8 Byte();
    quint32 Length();
    double Number();
    QByteArray Bytes();
    QString Text();
    // count numbers written one after the other, into values.
    void Numbers(double* values, quint32 count);
    quint32 Left() const { return static_cast<quint32>(mEnd - mData); }
    // Throws unless the whole payload has been read.
    void Finished() const;

private:
    const char* mData;
    const char* mEnd;
};

class TDamagedPayload : public std::exception {
public:
    const char* what() const noexcept override { return "A frame of the reader is damaged."; }
};
