#include "spreadsheet/XlsxSheetData.h"

#include "common/Exception.h"
#include "spreadsheet/CellReference.h"
#include "spreadsheet/SheetDates.h"
#include "spreadsheet/XmlBlocks.h"
#include "spreadsheet/XmlPart.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

namespace {

// The most text of a cell's value that is kept: far more than any number,
// date or flag takes. A longer value is text, and the rest of it is skipped.
constexpr std::size_t MaxValueText = 64 * 1024;

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Where a sheet handler's rows go as they end, every one, also those
// without values.
class TSheetRowOut {
public:
    virtual ~TSheetRowOut() = default;
    // skippedFirst to skippedLast: the columns of the row's cells with values
    // outside the column set; 0 when none.
    virtual void Row(const TSheetRow& row, int skippedFirst, int skippedLast) = 0;
    // A row has started.
    void Started(int row) { mLastRow = row; }
    // The number of the row started last, which the next one follows; -1
    // when not known (in a block before its first row).
    int LastRow() const { return mLastRow; }

protected:
    explicit TSheetRowOut(int lastRow) : mLastRow(lastRow) {}
    int mLastRow;
};

// The rows of the sheet as the reader gets them, in order, with the used
// range they make.
class TSheetRows : public TSheetRowOut {
public:
    explicit TSheetRows(const TRowSink& onRow) : TSheetRowOut(0), mOnRow(onRow) {}

    void Row(const TSheetRow& row, int skippedFirst, int skippedLast) override
    {
        // The row started last is the last to end: rows nested in it end
        // before it, and the rows around it are no more rows once it ends.
        mLastRow = row.Row;
        if (skippedFirst > 0)
            mUsedRange.Include(row.Row, 1, skippedFirst, skippedLast);
        if (row.Cells.empty())
            return;
        mUsedRange.Include(row);
        mOnRow(row);
    }

    const TUsedRange& UsedRange() const { return mUsedRange; }

private:
    const TRowSink& mOnRow;
    TUsedRange mUsedRange;
};

// The rows of a block, kept for their turn.
class TBlockRows : public TSheetRowOut {
public:
    TBlockRows() : TSheetRowOut(-1) {}

    void Row(const TSheetRow& row, int skippedFirst, int skippedLast) override
    {
        mRows.push_back({row.Row, skippedFirst, skippedLast, row.Cells.size()});
        mCells.insert(mCells.end(), row.Cells.begin(), row.Cells.end());
    }

    void Replay(TSheetRowOut& out)
    {
        auto cell = mCells.begin();
        for (const TEntry& entry : mRows) {
            mRow.Row = entry.Row;
            mRow.Cells.assign(cell, cell + static_cast<std::ptrdiff_t>(entry.Cells));
            cell += static_cast<std::ptrdiff_t>(entry.Cells);
            out.Row(mRow, entry.SkippedFirst, entry.SkippedLast);
        }
    }

    void Clear()
    {
        mLastRow = -1;
        mRows.clear();
        mCells.clear();
    }

private:
    struct TEntry {
        int Row;
        int SkippedFirst;
        int SkippedLast;
        std::size_t Cells;
    };
    std::vector<TEntry> mRows;
    std::vector<TCellRun> mCells;
    TSheetRow mRow;
};

std::string_view Trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

// The cells of sheetData, row by row, to where the rows go.
class TSheetHandler : public TXmlHandler {
public:
    TSheetHandler(const std::vector<TNumberFormatKind>& formats, bool date1904, const TColumnSet& columns,
                  TSheetRowOut& out)
        : mFormats(formats), mDate1904(date1904), mColumns(columns), mOut(out)
    {
    }

    void StartElement(std::string_view name, const char** attributes) override
    {
        if (name == "c" && mInRow)
            StartCell(attributes);
        else if (name == "v" && mInCell)
            StartValue();
        else if (name == "is" && mInCell)
            mInline = true;
        else if (name == "row")
            StartRow(attributes);
        else if (name == "sheetData" && !mInRow && !mInCell && !mInValue)
            SplitHere("row");
    }

    void EndElement(std::string_view name) override
    {
        if (name == "v" && mInValue) {
            mInValue = false;
            mHasValue = true;
            CollectText(false);
        } else if (name == "c" && mInCell) {
            EndCell();
        } else if (name == "row" && mInRow) {
            EndRow();
        } else if (name == "sheetData") {
            StopParsing();
        }
    }

    void Characters(std::string_view text) override
    {
        if (text.size() > MaxValueText - mValue.size()) {
            mLongValue = true;
            CollectText(false);
            return;
        }
        mValue.append(text);
    }

private:
    enum class TType { Number, SharedString, String, InlineString, Boolean, Error, Date };

    void StartRow(const char** attributes)
    {
        const char* r = XmlAttribute(attributes, "r");
        long long number = 0;
        if (!r) {
            // A row without its number follows the one before.
            const int previous = mOut.LastRow();
            if (previous < 0) {
                CannotStandAlone();
                return;
            }
            number = previous + 1LL;
        }
        if ((r && !XmlInteger(r, number)) || number < 1 || number > MaxSheetRows)
            throw Exception(QStringLiteral("The row number \"%1\" lies outside a worksheet.")
                                .arg(r ? Text(std::string_view(r).substr(0, 20)) : QString::number(number)));
        mRow.Row = static_cast<int>(number);
        mOut.Started(mRow.Row);
        mRow.Cells.clear();
        mSkippedFirst = 0;
        mSkippedLast = 0;
        mColumn = 0;
        mInRow = true;
    }

    void EndRow()
    {
        mInRow = false;
        mOut.Row(mRow, mSkippedFirst, mSkippedLast);
    }

    void StartCell(const char** attributes)
    {
        const char* reference = nullptr;
        const char* style = nullptr;
        const char* type = nullptr;
        for (const char** attribute = attributes; *attribute; attribute += 2) {
            const char* name = attribute[0];
            if (name[0] != '\0' && name[1] == '\0') {
                if (name[0] == 'r')
                    reference = attribute[1];
                else if (name[0] == 's')
                    style = attribute[1];
                else if (name[0] == 't')
                    type = attribute[1];
            }
        }
        if (reference) {
            int row = 0;
            ParseCellReference(reference, mColumn, row);
        } else if (++mColumn > MaxSheetColumns) {
            throw Exception(QStringLiteral("A cell of row %1 lies outside a worksheet.").arg(mRow.Row));
        }
        mFormat = TNumberFormatKind::Number;
        long long index = 0;
        if (style && XmlInteger(style, index) && index >= 0 && static_cast<std::size_t>(index) < mFormats.size())
            mFormat = mFormats[static_cast<std::size_t>(index)];
        mType = CellType(type);
        mWanted = mColumns.Contains(mColumn);
        mInCell = true;
        mHasValue = false;
        mInline = false;
    }

    TType CellType(const char* type) const
    {
        if (!type || std::strcmp(type, "n") == 0)
            return TType::Number;
        if (std::strcmp(type, "s") == 0)
            return TType::SharedString;
        if (std::strcmp(type, "str") == 0)
            return TType::String;
        if (std::strcmp(type, "inlineStr") == 0)
            return TType::InlineString;
        if (std::strcmp(type, "b") == 0)
            return TType::Boolean;
        if (std::strcmp(type, "e") == 0)
            return TType::Error;
        if (std::strcmp(type, "d") == 0)
            return TType::Date;
        throw Exception(QStringLiteral("The cell %1 of row %2 has the unknown type \"%3\".")
                            .arg(mColumn)
                            .arg(mRow.Row)
                            .arg(Text(std::string_view(type).substr(0, 20))));
    }

    void StartValue()
    {
        mValue.clear();
        mLongValue = false;
        mInValue = true;
        CollectText(mWanted);
    }

    Exception BadValue(const char* what) const
    {
        return Exception(QStringLiteral("The cell in column %1 of row %2 holds no valid %3.")
                             .arg(mColumn)
                             .arg(mRow.Row)
                             .arg(QLatin1String(what)));
    }

    TCell NumberCell() const
    {
        const std::string_view text = Trimmed(mValue);
        double number = 0;
        const auto result = fast_float::from_chars(text.data(), text.data() + text.size(), number);
        if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()
            || !std::isfinite(number))
            throw BadValue("number");
        return FormattedNumber(number, mFormat, mDate1904);
    }

    TCell ValueCell() const
    {
        if (mLongValue)
            return {TCellKind::Text, 0};
        switch (mType) {
        case TType::Number:
            return NumberCell();
        case TType::SharedString:
        case TType::String:
        case TType::InlineString:
            return {TCellKind::Text, 0};
        case TType::Boolean:
            return {TCellKind::Boolean, Trimmed(mValue) == "1" ? 1.0 : 0.0};
        case TType::Error:
            return {TCellKind::Error, 0};
        case TType::Date: {
            TDateTime value = 0;
            if (!ParseIsoDateTime(Trimmed(mValue), value))
                throw BadValue("date");
            return {TCellKind::Date, value};
        }
        }
        return {};
    }

    void EndCell()
    {
        mInCell = false;
        const bool hasValue = mHasValue || (mType == TType::InlineString && mInline);
        if (!hasValue)
            return;
        if (mWanted) {
            mRow.Cells.push_back({mColumn, 1, ValueCell()});
            return;
        }
        mSkippedFirst = mSkippedFirst == 0 ? mColumn : std::min(mSkippedFirst, mColumn);
        mSkippedLast = std::max(mSkippedLast, mColumn);
    }

    const std::vector<TNumberFormatKind>& mFormats;
    const bool mDate1904;
    const TColumnSet& mColumns;
    TSheetRowOut& mOut;
    TSheetRow mRow;
    int mColumn = 0;
    // The columns of the row's cells with values outside the set; 0 when
    // none.
    int mSkippedFirst = 0;
    int mSkippedLast = 0;
    TNumberFormatKind mFormat = TNumberFormatKind::Number;
    TType mType = TType::Number;
    std::string mValue;
    bool mInRow = false;
    bool mInCell = false;
    bool mWanted = true;
    bool mInValue = false;
    bool mHasValue = false;
    bool mLongValue = false;
    bool mInline = false;
};


// A block of rows: parsed on a worker thread, handed on in its turn.
class TSheetBlock : public TXmlBlock {
public:
    TSheetBlock(const std::vector<TNumberFormatKind>& formats, bool date1904, const TColumnSet& columns,
                TSheetRows& rows)
        : mFormats(formats), mDate1904(date1904), mColumns(columns), mTarget(rows)
    {
    }

    TXmlHandler& Restart() override
    {
        mRows.Clear();
        return mHandler.emplace(mFormats, mDate1904, mColumns, mRows);
    }
    void Deliver() override { mRows.Replay(mTarget); }

private:
    const std::vector<TNumberFormatKind>& mFormats;
    const bool mDate1904;
    const TColumnSet& mColumns;
    TSheetRows& mTarget;
    TBlockRows mRows;
    std::optional<TSheetHandler> mHandler;
};

} // namespace

TUsedRange ReadXlsxSheetData(const TZipPackage& package, const QByteArray& part,
                             const std::vector<TNumberFormatKind>& formats, bool date1904, const TColumnSet& columns,
                             const TRowSink& onRow, const TReadProgress& onProgress)
{
    TSheetRows rows(onRow);
    TSheetHandler sheet(formats, date1904, columns, rows);
    const TXmlBlockMaker newBlock = [&]() -> std::unique_ptr<TXmlBlock> {
        return std::make_unique<TSheetBlock>(formats, date1904, columns, rows);
    };
    ParseXmlPartInBlocks(package, part, sheet, newBlock, onProgress);
    return rows.UsedRange();
}
