#include "database/AccessProtocol.h"

#include "database/DatabaseValues.h"

namespace {

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
    const qsizetype at = StartFrame(out, quint8(TAccessFrame::Names));
    AppendLength(out, static_cast<quint32>(names.size()));
    for (const QString& name : names)
        AppendBytes(out, name.toUtf8());
    FinishFrame(out, at);
}

void AppendColumns(QByteArray& out, const std::vector<TAccessColumn>& columns)
{
    const qsizetype at = StartFrame(out, quint8(TAccessFrame::Columns));
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
    const qsizetype at = StartFrame(out, quint8(TAccessFrame::Row));
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
    AppendEmptyFrame(out, quint8(kind));
}

QStringList ReadNames(TPayloadReader& payload)
{
    const quint32 count = payload.Length();
    QStringList names;
    for (quint32 i = 0; i < count; ++i)
        names << payload.Text();
    return names;
}

std::vector<TAccessColumn> ReadColumns(TPayloadReader& payload)
{
    const quint32 count = payload.Length();
    std::vector<TAccessColumn> columns;
    for (quint32 i = 0; i < count; ++i) {
        TAccessColumn column;
        column.Name = payload.Text();
        const quint8 kind = payload.Byte();
        if (kind > static_cast<quint8>(TAccessKind::Other))
            throw TDamagedPayload();
        column.Kind = static_cast<TAccessKind>(kind);
        column.TypeName = payload.Text();
        columns.push_back(column);
    }
    return columns;
}

void ReadRow(TPayloadReader& payload, const std::vector<TAccessColumn>& columns, std::vector<TAccessValue>& values)
{
    values.resize(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        TAccessValue& value = values[i];
        value.Null = payload.Byte() == 0;
        if (value.Null)
            continue;
        if (HoldsNumber(columns[i].Kind))
            value.Number = payload.Number();
        else if (HoldsText(columns[i].Kind))
            value.Text = payload.Bytes();
    }
    payload.Finished();
}
