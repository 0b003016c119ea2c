#include "reader/ReaderFrames.h"

#include <QtEndian>

#include <cstring>

qsizetype StartFrame(QByteArray& out, quint8 kind)
{
    out.append(static_cast<char>(kind));
    const qsizetype at = out.size();
    AppendLength(out, 0);
    return at;
}

void FinishFrame(QByteArray& out, qsizetype at)
{
    qToLittleEndian(static_cast<quint32>(out.size() - at - 4), out.data() + at);
}

void AppendEmptyFrame(QByteArray& out, quint8 kind)
{
    FinishFrame(out, StartFrame(out, kind));
}

void AppendError(QByteArray& out, const QString& message)
{
    const qsizetype at = StartFrame(out, static_cast<quint8>(TReaderFrame::Error));
    AppendText(out, message);
    FinishFrame(out, at);
}

void AppendLength(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void AppendNumber(QByteArray& out, double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char bytes[8];
    qToLittleEndian(bits, bytes);
    out.append(bytes, 8);
}

void AppendNumbers(QByteArray& out, const double* values, quint32 count)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "numbers travel in the machine's own order");
    out.append(reinterpret_cast<const char*>(values), qsizetype(count) * 8);
}

void AppendBytes(QByteArray& out, const QByteArray& bytes)
{
    AppendLength(out, static_cast<quint32>(bytes.size()));
    out.append(bytes);
}

void AppendText(QByteArray& out, const QString& text)
{
    AppendBytes(out, text.toUtf8());
}

quint8 TPayloadReader::Byte()
{
    if (mEnd - mData < 1)
        throw TDamagedPayload();
    return static_cast<quint8>(*mData++);
}

quint32 TPayloadReader::Length()
{
    if (mEnd - mData < 4)
        throw TDamagedPayload();
    const quint32 value = qFromLittleEndian<quint32>(mData);
    mData += 4;
    return value;
}

double TPayloadReader::Number()
{
    double value = 0;
    Numbers(&value, 1);
    return value;
}

void TPayloadReader::Numbers(double* values, quint32 count)
{
    if (static_cast<quint64>(mEnd - mData) / 8 < count)
        throw TDamagedPayload();
    std::memcpy(values, mData, std::size_t(count) * 8);
    mData += std::size_t(count) * 8;
}

QByteArray TPayloadReader::Bytes()
{
    const quint32 size = Length();
    if (static_cast<quint64>(mEnd - mData) < size)
        throw TDamagedPayload();
    QByteArray bytes(mData, static_cast<qsizetype>(size));
    mData += size;
    return bytes;
}

QString TPayloadReader::Text()
{
    return QString::fromUtf8(Bytes());
}

void TPayloadReader::Finished() const
{
    if (mData != mEnd)
        throw TDamagedPayload();
}
