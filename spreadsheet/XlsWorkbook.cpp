#include "spreadsheet/XlsWorkbook.h"

#include "common/Exception.h"
#include "spreadsheet/BiffRecords.h"
#include "spreadsheet/BiffStrings.h"
#include "spreadsheet/NumberFormats.h"

#include <cmath>
#include <vector>

namespace {

constexpr std::uint16_t Biff8 = 0x0600;
constexpr std::uint16_t Biff5 = 0x0500;
constexpr std::uint16_t GlobalsSubstream = 0x0005;
constexpr std::uint16_t WorksheetSubstream = 0x0010;
// BOUNDSHEET's sheet type of worksheets (and dialog sheets).
constexpr std::uint8_t WorksheetType = 0;
// The columns a BIFF8 worksheet has.
constexpr int BiffColumns = 256;
// Bytes of records between two reports of progress.
constexpr std::size_t ProgressBytes = 256 * 1024;

struct TXlsSheet {
    QString Name;
    std::uint32_t Offset = 0;
};

struct TXlsGlobals {
    std::vector<TXlsSheet> Worksheets;
    // The number format kind of each cell format (XF), by index.
    std::vector<TNumberFormatKind> CellFormats;
    std::size_t SharedStrings = 0;
    bool Date1904 = false;
};

Exception OlderKind()
{
    return Exception(QStringLiteral(
        "It is an Excel workbook of a kind older than Excel 97; save it as a newer workbook and load that."));
}

// The substream type of a BOF record; earlier versions are refused.
std::uint16_t BofType(const TBiffRecord& record)
{
    if (record.Type == 0x0009 || record.Type == 0x0209 || record.Type == 0x0409)
        throw OlderKind();
    if (record.Type != BiffType::Bof)
        throw Exception(QStringLiteral("The record at byte %1 of the workbook stream should start a sheet but does not.")
                            .arg(record.Offset));
    TByteCursor cursor(record.Data);
    const std::uint16_t version = cursor.U16();
    const std::uint16_t type = cursor.U16();
    if (version <= Biff5)
        throw OlderKind();
    if (version != Biff8)
        throw Exception(QStringLiteral("The workbook stream has the unknown version %1.").arg(version, 4, 16, QLatin1Char('0')));
    return type;
}

TXlsGlobals ReadGlobals(std::string_view stream)
{
    TBiffRecords records(stream, 0);
    TBiffRecord record;
    if (!records.Next(record) || BofType(record) != GlobalsSubstream)
        throw Exception(QStringLiteral("The workbook stream does not start with the workbook's globals."));
    TXlsGlobals globals;
    TNumberFormatTable formats;
    std::vector<std::uint16_t> formatIds;
    std::vector<std::string_view> sharedStrings;
    for (;;) {
        if (!records.Next(record))
            throw Exception(QStringLiteral("The workbook stream ends inside the workbook's globals."));
        if (record.Type != BiffType::Continue && !sharedStrings.empty() && globals.SharedStrings == 0) {
            globals.SharedStrings = CountSharedStrings(sharedStrings);
            sharedStrings.clear();
        }
        TByteCursor cursor(record.Data);
        switch (record.Type) {
        case BiffType::Eof:
            globals.CellFormats.reserve(formatIds.size());
            for (std::uint16_t id : formatIds)
                globals.CellFormats.push_back(formats.KindOf(id));
            return globals;
        case BiffType::FilePass:
            throw Exception(QStringLiteral("The workbook is protected by a password; save it without one and load that."));
        case BiffType::DateMode:
            globals.Date1904 = cursor.U16() == 1;
            break;
        case BiffType::Format: {
            const std::uint16_t id = cursor.U16();
            formats.AddCode(id, ReadBiffString(cursor).toStdString());
            break;
        }
        case BiffType::Xf:
            cursor.Skip(2);
            formatIds.push_back(cursor.U16());
            break;
        case BiffType::BoundSheet: {
            const std::uint32_t offset = cursor.U32();
            cursor.Skip(1);
            const std::uint8_t type = cursor.U8();
            const QString name = ReadShortBiffString(cursor);
            if (type == WorksheetType)
                globals.Worksheets.push_back({name, offset});
            break;
        }
        case BiffType::Sst:
            sharedStrings = {record.Data};
            break;
        case BiffType::Continue:
            if (!sharedStrings.empty())
                sharedStrings.push_back(record.Data);
            break;
        default:
            break;
        }
    }
}

// The cells of one worksheet substream, row by row, straight to the sink.
class TSheetReader {
public:
    TSheetReader(const TXlsGlobals& globals, const TRowSink& onRow) : mGlobals(globals), mOnRow(onRow) {}

    void Read(const TBiffRecord& record)
    {
        TByteCursor cursor(record.Data);
        switch (record.Type) {
        case BiffType::Number: {
            const TPlace place = Place(cursor);
            Add(place, Number(place, cursor.F64()));
            break;
        }
        case BiffType::Rk: {
            const TPlace place = Place(cursor);
            Add(place, Number(place, RkValue(cursor.U32())));
            break;
        }
        case BiffType::MulRk:
            ReadMulRk(cursor);
            break;
        case BiffType::LabelSst: {
            const TPlace place = Place(cursor);
            const std::uint32_t index = cursor.U32();
            if (index >= mGlobals.SharedStrings)
                throw Exception(QStringLiteral("The cell in column %1 of row %2 refers to shared string %3 of %4.")
                                    .arg(place.Column)
                                    .arg(place.Row)
                                    .arg(index)
                                    .arg(mGlobals.SharedStrings));
            Add(place, {TCellKind::Text, 0});
            break;
        }
        case BiffType::Label:
        case BiffType::RString:
            Add(Place(cursor), {TCellKind::Text, 0});
            break;
        case BiffType::BoolErr: {
            const TPlace place = Place(cursor);
            const std::uint8_t value = cursor.U8();
            const bool error = cursor.U8() != 0;
            Add(place, error ? TCell{TCellKind::Error, 0} : TCell{TCellKind::Boolean, value ? 1.0 : 0.0});
            break;
        }
        case BiffType::Formula:
            ReadFormula(cursor);
            break;
        default:
            break;
        }
    }

    // Hands on the last row.
    void Finish() { Flush(); }

    const TUsedRange& UsedRange() const { return mUsedRange; }

private:
    struct TPlace {
        int Row;
        int Column;
        TNumberFormatKind Format;
    };

    TPlace Place(TByteCursor& cursor) const
    {
        const int row = cursor.U16() + 1;
        const int column = cursor.U16() + 1;
        return {row, Column(row, column), Format(cursor.U16())};
    }

    static int Column(int row, int column)
    {
        if (column > BiffColumns)
            throw Exception(QStringLiteral("A cell of row %1 lies outside a worksheet.").arg(row));
        return column;
    }

    TNumberFormatKind Format(std::uint16_t xf) const
    {
        return xf < mGlobals.CellFormats.size() ? mGlobals.CellFormats[xf] : TNumberFormatKind::Number;
    }

    TCell Number(const TPlace& place, double number) const
    {
        if (!std::isfinite(number))
            throw Exception(QStringLiteral("The cell in column %1 of row %2 holds no valid number.")
                                .arg(place.Column)
                                .arg(place.Row));
        return FormattedNumber(number, place.Format, mGlobals.Date1904);
    }

    void ReadMulRk(TByteCursor& cursor)
    {
        const int row = cursor.U16() + 1;
        const int first = cursor.U16() + 1;
        if (cursor.Left() < 2)
            throw Exception(QStringLiteral("A record of several numbers in row %1 is too short.").arg(row));
        const std::size_t count = (cursor.Left() - 2) / 6;
        for (std::size_t i = 0; i < count; ++i) {
            const TPlace place{row, Column(row, first + static_cast<int>(i)), Format(cursor.U16())};
            Add(place, Number(place, RkValue(cursor.U32())));
        }
    }

    // The result stored with a formula: a number, or a marker of another
    // kind in the bytes where a number's exponent would be all ones.
    void ReadFormula(TByteCursor& cursor)
    {
        const TPlace place = Place(cursor);
        const std::string_view result = cursor.Take(8);
        if (static_cast<unsigned char>(result[6]) != 0xFF || static_cast<unsigned char>(result[7]) != 0xFF) {
            Add(place, Number(place, TByteCursor(result).F64()));
            return;
        }
        switch (result[0]) {
        case 0:
            Add(place, {TCellKind::Text, 0});
            break;
        case 1:
            Add(place, {TCellKind::Boolean, result[2] ? 1.0 : 0.0});
            break;
        case 2:
            Add(place, {TCellKind::Error, 0});
            break;
        default:
            // An empty string, or no result at all.
            break;
        }
    }

    void Add(const TPlace& place, const TCell& cell)
    {
        if (place.Row != mRow.Row) {
            Flush();
            mRow.Row = place.Row;
        }
        mRow.Cells.push_back({place.Column, 1, cell});
    }

    void Flush()
    {
        if (mRow.Cells.empty())
            return;
        mUsedRange.Include(mRow);
        mOnRow(mRow);
        mRow.Cells.clear();
    }

    const TXlsGlobals& mGlobals;
    const TRowSink& mOnRow;
    TSheetRow mRow;
    TUsedRange mUsedRange;
};

} // namespace

QStringList XlsStreamWorksheetNames(std::string_view stream)
{
    QStringList names;
    for (const TXlsSheet& sheet : ReadGlobals(stream).Worksheets)
        names.append(sheet.Name);
    return names;
}

TUsedRange ReadXlsStreamWorksheet(std::string_view stream, int index, const TRowSink& onRow,
                                  const TReadProgress& onProgress)
{
    const TXlsGlobals globals = ReadGlobals(stream);
    if (index < 0 || static_cast<std::size_t>(index) >= globals.Worksheets.size())
        throw Exception(QStringLiteral("The workbook has no worksheet number %1.").arg(index + 1));
    const TXlsSheet& sheet = globals.Worksheets[static_cast<std::size_t>(index)];
    TBiffRecords records(stream, sheet.Offset);
    TBiffRecord record;
    if (!records.Next(record) || BofType(record) != WorksheetSubstream)
        throw Exception(QStringLiteral("The sheet \"%1\" does not start where the workbook says.").arg(sheet.Name));
    TSheetReader reader(globals, onRow);
    // Charts drawn on the sheet come as substreams of their own inside it.
    int depth = 0;
    std::size_t reported = records.Position();
    for (;;) {
        if (!records.Next(record))
            throw Exception(QStringLiteral("The workbook stream ends inside the sheet \"%1\".").arg(sheet.Name));
        if (record.Type == BiffType::Bof) {
            ++depth;
        } else if (record.Type == BiffType::Eof) {
            if (depth-- == 0)
                break;
        } else if (depth == 0) {
            reader.Read(record);
        }
        if (onProgress && records.Position() - reported >= ProgressBytes) {
            reported = records.Position();
            onProgress(reported, stream.size());
        }
    }
    reader.Finish();
    return reader.UsedRange();
}
