#include "database/AccessProtocol.h"

#include "database/DatabaseValues.h"

#include <QtEndian>

#include <cstring>

namespace {

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

void AppendBytes(QByteArray& out, const QByteArray& bytes)
{
    AppendLength(out, static_cast<quint32>(bytes.size()));
    out.append(bytes);
}

// Starts a frame; FinishFrame writes its length once the payload is in.
qsizetype StartFrame(QByteArray& out, TAccessFrame kind)
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

bool HoldsNumber(TAccessKind kind)
{
    return kind == TAccessKind::Date || kind == TAccessKind::Number;
}

bool HoldsText(TAccessKind kind)
{
    return kind == TAccessKind::Text || kind == TAccessKind::DecimalText;
}

} // namespace

TDateTime AccessTime(const TAccessColumn& column, const TAccessValue& value)
{
    if (value.Null)
        return 0;
    switch (column.Kind) {
    case TAccessKind::Date:
        return value.Number;
    case TAccessKind::Text:
        return TimeFromText(value.Text.constData(), column.Name);
    default:
        ThrowUnreadable(column.Name, column.TypeName, true);
    }
}

double AccessNumber(const TAccessColumn& column, const TAccessValue& value)
{
    if (value.Null)
        return 0;
    if (HoldsNumber(column.Kind))
        return value.Number;
    if (HoldsText(column.Kind))
        return NumberFromText(value.Text.constData(), column.Name);
    ThrowUnreadable(column.Name, column.TypeName, false);
}

void AppendNames(QByteArray& out, const QStringList& names)
{
    const qsizetype at = StartFrame(out, TAccessFrame::Names);
    AppendLength(out, static_cast<quint32>(names.size()));
    for (const QString& name : names)
        AppendBytes(out, name.toUtf8());
    FinishFrame(out, at);
}

void AppendError(QByteArray& out, const QString& message)
{
    const qsizetype at = StartFrame(out, TAccessFrame::Error);
    AppendBytes(out, message.toUtf8());
    FinishFrame(out, at);
}

void AppendColumns(QByteArray& out, const std::vector<TAccessColumn>& columns)
{
    const qsizetype at = StartFrame(out, TAccessFrame::Columns);
    AppendLength(out, static_cast<quint32>(columns.size()));
    for (const TAccessColumn& column : columns) {
        AppendBytes(out, column.Name.toUtf8());
        out.append(static_cast<char>(column.Kind));
        AppendBytes(out, column.TypeName.toUtf8());
    }
    FinishFrame(out, at);
}

void AppendRow(QByteArray& out, const std::vector<TAccessColumn>& columns, const std::vector<TAccessValue>& values)
{
    const qsizetype at = StartFrame(out, TAccessFrame::Row);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TAccessValue& value = values[i];
        out.append(static_cast<char>(value.Null ? 0 : 1));
        if (value.Null)
            continue;
        if (HoldsNumber(columns[i].Kind))
            AppendNumber(out, value.Number);
        else if (HoldsText(columns[i].Kind))
            AppendBytes(out, value.Text);
    }
    FinishFrame(out, at);
}

void AppendEmptyFrame(QByteArray& out, TAccessFrame kind)
{
    FinishFrame(out, StartFrame(out, kind));
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
    if (mEnd - mData < 8)
        throw TDamagedPayload();
    const quint64 bits = qFromLittleEndian<quint64>(mData);
    mData += 8;
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
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

QStringList TPayloadReader::Names()
{
    const quint32 count = Length();
    QStringList names;
    for (quint32 i = 0; i < count; ++i)
        names << Text();
    return names;
}

std::vector<TAccessColumn> TPayloadReader::Columns()
{
    const quint32 count = Length();
    std::vector<TAccessColumn> columns;
    for (quint32 i = 0; i < count; ++i) {
        TAccessColumn column;
        column.Name = Text();
        const quint8 kind = Byte();
        if (kind > static_cast<quint8>(TAccessKind::Other))
            throw TDamagedPayload();
        column.Kind = static_cast<TAccessKind>(kind);
        column.TypeName = Text();
        columns.push_back(column);
    }
    return columns;
}

void TPayloadReader::Row(const std::vector<TAccessColumn>& columns, std::vector<TAccessValue>& values)
{
    values.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        TAccessValue& value = values[i];
        value.Null = Byte() == 0;
        if (value.Null)
            continue;
        if (HoldsNumber(columns[i].Kind))
            value.Number = Number();
        else if (HoldsText(columns[i].Kind))
            value.Text = Bytes();
    }
    if (mData != mEnd)
        throw TDamagedPayload();
}
