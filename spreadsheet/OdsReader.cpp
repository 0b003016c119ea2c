#include "spreadsheet/OdsReader.h"

#include "common/Exception.h"
#include "spreadsheet/SheetDates.h"
#include "spreadsheet/XmlPart.h"
#include "spreadsheet/ZipPackage.h"

#include <fast_float/fast_float.h>

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

const QByteArray ContentPart = QByteArrayLiteral("content.xml");

// Reads the tables of the content part: their names, and the rows of one.
class TContentHandler : public TXmlHandler {
public:
    // wanted: the index of the table whose rows go to onRow; -1 to list the
    // names only.
    TContentHandler(int wanted, const TRowSink* onRow) : mWanted(wanted), mOnRow(onRow) {}

    void StartElement(std::string_view name, const char** attributes) override
    {
        if (name == "table") {
            StartTable(attributes);
        } else if (mTableDepth == 1 && mInWanted) {
            if (name == "table-cell" || name == "covered-table-cell")
                StartCell(attributes);
            else if (name == "table-row")
                StartRow(attributes);
        } else if (name == "spreadsheet") {
            mInSpreadsheet = true;
        }
    }

    void EndElement(std::string_view name) override
    {
        if (name == "table") {
            if (--mTableDepth == 0 && mInWanted)
                StopParsing();
        } else if (name == "table-row" && mTableDepth == 1 && mInWanted) {
            EndRow();
        } else if (name == "spreadsheet") {
            mInSpreadsheet = false;
        }
    }

    QStringList Names;
    TUsedRange UsedRange;

private:
    void StartTable(const char** attributes)
    {
        if (mTableDepth++ > 0 || !mInSpreadsheet)
            return;
        const char* tableName = XmlAttribute(attributes, "name");
        Names.append(QString::fromUtf8(tableName ? tableName : ""));
        mInWanted = Names.size() - 1 == mWanted;
    }

    static long long Repeat(const char** attributes, std::string_view name)
    {
        const char* text = XmlAttribute(attributes, name);
        if (!text)
            return 1;
        long long count = 0;
        const auto result = std::from_chars(text, text + std::strlen(text), count);
        if (result.ec != std::errc() || *result.ptr != '\0' || count < 1 || count > INT_MAX)
            throw Exception(QStringLiteral("A table repeats a row or cell \"%1\" times.")
                                .arg(QString::fromUtf8(text).left(20)));
        return count;
    }

    void StartRow(const char** attributes)
    {
        mRowRepeat = Repeat(attributes, "number-rows-repeated");
        mRow.Cells.clear();
        mNextColumn = 1;
    }

    void EndRow()
    {
        const long long first = mNextRow;
        mNextRow += mRowRepeat;
        if (mRow.Cells.empty())
            return;
        if (first + mRowRepeat - 1 > MaxSheetRows)
            throw Exception(QStringLiteral("Values lie beyond row %1, the last row of a worksheet.").arg(MaxSheetRows));
        mRow.Row = static_cast<int>(first);
        mRow.Repeat = static_cast<int>(mRowRepeat);
        UsedRange.Include(mRow);
        (*mOnRow)(mRow);
    }

    Exception BadValue(const char* what) const
    {
        return Exception(QStringLiteral("The cell in column %1 of row %2 holds no valid %3.")
                             .arg(mNextColumn)
                             .arg(mNextRow)
                             .arg(QLatin1String(what)));
    }

    double Number(const char* text) const
    {
        double value = 0;
        const char* end = text ? text + std::strlen(text) : nullptr;
        if (!text || fast_float::from_chars(text, end, value).ptr != end || text == end || !std::isfinite(value))
            throw BadValue("number");
        return value;
    }

    TCell ValueOf(const char** attributes) const
    {
        const char* type = nullptr;
        for (const char** attribute = attributes; *attribute; attribute += 2) {
            if (std::strcmp(attribute[0], "calcext:value-type") == 0 && std::strcmp(attribute[1], "error") == 0)
                return {TCellKind::Error, 0};
            if (std::strcmp(attribute[0], "office:value-type") == 0)
                type = attribute[1];
        }
        if (!type || std::strcmp(type, "void") == 0)
            return {};
        if (std::strcmp(type, "float") == 0 || std::strcmp(type, "percentage") == 0)
            return {TCellKind::Double, Number(XmlAttribute(attributes, "value"))};
        if (std::strcmp(type, "currency") == 0)
            return {TCellKind::Currency, Number(XmlAttribute(attributes, "value"))};
        if (std::strcmp(type, "string") == 0)
            return {TCellKind::Text, 0};
        if (std::strcmp(type, "boolean") == 0) {
            const char* value = XmlAttribute(attributes, "boolean-value");
            return {TCellKind::Boolean, value && std::strcmp(value, "true") == 0 ? 1.0 : 0.0};
        }
        double days = 0;
        if (std::strcmp(type, "date") == 0) {
            const char* value = XmlAttribute(attributes, "date-value");
            if (!value || !ParseIsoDateTime(value, days))
                throw BadValue("date");
            return {TCellKind::Date, days};
        }
        if (std::strcmp(type, "time") == 0) {
            const char* value = XmlAttribute(attributes, "time-value");
            if (!value || !ParseIsoDuration(value, days))
                throw BadValue("time");
            return {TCellKind::Date, days};
        }
        throw Exception(QStringLiteral("The cell in column %1 of row %2 has the unknown value type \"%3\".")
                            .arg(mNextColumn)
                            .arg(mNextRow)
                            .arg(QString::fromUtf8(type).left(20)));
    }

    void StartCell(const char** attributes)
    {
        const long long count = Repeat(attributes, "number-columns-repeated");
        const TCell cell = ValueOf(attributes);
        const long long first = mNextColumn;
        mNextColumn += count;
        if (cell.Kind == TCellKind::Empty)
            return;
        if (first + count - 1 > MaxSheetColumns)
            throw Exception(QStringLiteral("Values of row %1 lie beyond column %2, the last column of a worksheet.")
                                .arg(mNextRow)
                                .arg(MaxSheetColumns));
        mRow.Cells.push_back({static_cast<int>(first), static_cast<int>(count), cell});
    }

    const int mWanted;
    const TRowSink* mOnRow;
    bool mInSpreadsheet = false;
    bool mInWanted = false;
    int mTableDepth = 0;
    TSheetRow mRow;
    long long mRowRepeat = 1;
    long long mNextRow = 1;
    long long mNextColumn = 1;
};

} // namespace

QStringList OdsWorksheetNames(const TZipPackage& package)
{
    TContentHandler handler(-1, nullptr);
    ParseXmlPart(package, ContentPart, handler);
    return handler.Names;
}

TUsedRange ReadOdsWorksheet(const TZipPackage& package, int index, const TRowSink& onRow,
                            const TReadProgress& onProgress)
{
    TContentHandler handler(index, &onRow);
    ParseXmlPart(package, ContentPart, handler, onProgress);
    if (index < 0 || index >= handler.Names.size())
        throw Exception(QStringLiteral("The workbook has no worksheet number %1.").arg(index + 1));
    return handler.UsedRange;
}
