#include "spreadsheet/XlsxReader.h"

#include "common/Exception.h"
#include "spreadsheet/CellReference.h"
#include "spreadsheet/NumberFormats.h"
#include "spreadsheet/SheetDates.h"
#include "spreadsheet/XmlPart.h"
#include "spreadsheet/ZipPackage.h"

#include <fast_float/fast_float.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The most text of a cell's value that is kept: far more than any number,
// date or flag takes. A longer value is text, and the rest of it is skipped.
constexpr std::size_t MaxValueText = 64 * 1024;

QString Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool ParseInteger(std::string_view text, long long& value)
{
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// The folder of a part name, with its trailing '/'.
QByteArray FolderOf(const QByteArray& part)
{
    return part.left(part.lastIndexOf('/') + 1);
}

// A relationship's target as a part name: relative to the source's folder
// unless it starts with '/', with "." and ".." resolved.
QByteArray ResolveTarget(const QByteArray& folder, const QByteArray& target)
{
    const QByteArray path = target.startsWith('/') ? target.mid(1) : folder + target;
    QList<QByteArray> segments;
    for (const QByteArray& segment : path.split('/')) {
        if (segment == "..") {
            if (!segments.isEmpty())
                segments.removeLast();
        } else if (!segment.isEmpty() && segment != ".") {
            segments.append(segment);
        }
    }
    return segments.join('/');
}

// The relationships part of a source part: "xl/workbook.xml" has
// "xl/_rels/workbook.xml.rels".
QByteArray RelationshipsPart(const QByteArray& part)
{
    return FolderOf(part) + "_rels/" + part.mid(part.lastIndexOf('/') + 1) + ".rels";
}

struct TRelationship {
    QByteArray Type;
    QByteArray Part;
};

class TRelationshipsHandler : public TXmlHandler {
public:
    explicit TRelationshipsHandler(const QByteArray& folder) : mFolder(folder) {}

    void StartElement(std::string_view name, const char** attributes) override
    {
        if (name != "Relationship")
            return;
        const char* id = XmlAttribute(attributes, "Id");
        const char* type = XmlAttribute(attributes, "Type");
        const char* target = XmlAttribute(attributes, "Target");
        const char* mode = XmlAttribute(attributes, "TargetMode");
        if (!id || !type || !target || (mode && std::strcmp(mode, "External") == 0))
            return;
        Relationships.emplace(QByteArray(id), TRelationship{type, ResolveTarget(mFolder, target)});
    }
    void EndElement(std::string_view) override {}

    std::map<QByteArray, TRelationship> Relationships;

private:
    QByteArray mFolder;
};

std::map<QByteArray, TRelationship> ReadRelationships(const TZipPackage& package, const QByteArray& source)
{
    TRelationshipsHandler handler(FolderOf(source));
    const QByteArray part = RelationshipsPart(source);
    if (package.HasPart(part))
        ParseXmlPart(package, part, handler);
    return std::move(handler.Relationships);
}

// The first relationship whose type ends with typeSuffix; empty when none.
QByteArray PartOfType(const std::map<QByteArray, TRelationship>& relationships, const char* typeSuffix)
{
    for (const auto& entry : relationships) {
        if (entry.second.Type.endsWith(typeSuffix))
            return entry.second.Part;
    }
    return {};
}

struct TWorksheetEntry {
    QString Name;
    QByteArray Part;
};

class TWorkbookHandler : public TXmlHandler {
public:
    void StartElement(std::string_view name, const char** attributes) override
    {
        if (name == "workbookPr") {
            const char* date1904 = XmlAttribute(attributes, "date1904");
            Date1904 = date1904 && (std::strcmp(date1904, "1") == 0 || std::strcmp(date1904, "true") == 0);
        } else if (name == "sheet") {
            const char* sheetName = XmlAttribute(attributes, "name");
            const char* id = XmlAttribute(attributes, "id");
            if (!sheetName || !id)
                throw Exception(QStringLiteral("The workbook part lists a sheet without its name or part."));
            Sheets.push_back({QString::fromUtf8(sheetName), QByteArray(id)});
        }
    }
    void EndElement(std::string_view name) override
    {
        if (name == "sheets")
            StopParsing();
    }

    bool Date1904 = false;
    // Names with their relationship ids.
    std::vector<std::pair<QString, QByteArray>> Sheets;
};

struct TWorkbookParts {
    std::vector<TWorksheetEntry> Worksheets;
    QByteArray Styles;
    bool Date1904 = false;
};

TWorkbookParts ReadWorkbookParts(const TZipPackage& package)
{
    const QByteArray workbook = PartOfType(ReadRelationships(package, QByteArray()), "/officeDocument");
    if (workbook.isEmpty())
        throw Exception(QStringLiteral("The package names no workbook part."));
    TWorkbookHandler handler;
    ParseXmlPart(package, workbook, handler);
    const std::map<QByteArray, TRelationship> relationships = ReadRelationships(package, workbook);

    TWorkbookParts parts;
    parts.Date1904 = handler.Date1904;
    parts.Styles = PartOfType(relationships, "/styles");
    for (const auto& [name, id] : handler.Sheets) {
        const auto found = relationships.find(id);
        if (found == relationships.end())
            throw Exception(QStringLiteral("The workbook lists the sheet \"%1\" without its part.").arg(name));
        // Chart sheets, dialog and macro sheets are no worksheets.
        if (found->second.Type.endsWith("/worksheet"))
            parts.Worksheets.push_back({name, found->second.Part});
    }
    return parts;
}

// The number format kind of each cell format (xf) of the styles part, by
// index.
class TStylesHandler : public TXmlHandler {
public:
    void StartElement(std::string_view name, const char** attributes) override
    {
        if (name == "numFmt") {
            const char* id = XmlAttribute(attributes, "numFmtId");
            const char* code = XmlAttribute(attributes, "formatCode");
            long long number = 0;
            if (id && code && ParseInteger(id, number))
                mTable.AddCode(number, code);
        } else if (name == "cellXfs") {
            mInCellFormats = true;
        } else if (name == "xf" && mInCellFormats) {
            const char* id = XmlAttribute(attributes, "numFmtId");
            long long number = 0;
            mFormatIds.push_back(id && ParseInteger(id, number) ? number : 0);
        }
    }
    void EndElement(std::string_view name) override
    {
        if (name == "cellXfs")
            mInCellFormats = false;
    }

    std::vector<TNumberFormatKind> Kinds() const
    {
        std::vector<TNumberFormatKind> kinds;
        kinds.reserve(mFormatIds.size());
        for (long long id : mFormatIds)
            kinds.push_back(mTable.KindOf(id));
        return kinds;
    }

private:
    TNumberFormatTable mTable;
    std::vector<long long> mFormatIds;
    bool mInCellFormats = false;
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

// The cells of sheetData, row by row, straight to the sink.
class TSheetHandler : public TXmlHandler {
public:
    TSheetHandler(const std::vector<TNumberFormatKind>& formats, bool date1904, const TColumnSet& columns,
                  const TRowSink& onRow)
        : mFormats(formats), mDate1904(date1904), mColumns(columns), mOnRow(onRow)
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

    const TUsedRange& UsedRange() const { return mUsedRange; }

private:
    enum class TType { Number, SharedString, String, InlineString, Boolean, Error, Date };

    void StartRow(const char** attributes)
    {
        const char* r = XmlAttribute(attributes, "r");
        long long number = mRow.Row + 1;
        if ((r && !ParseInteger(r, number)) || number < 1 || number > MaxSheetRows)
            throw Exception(QStringLiteral("The row number \"%1\" lies outside a worksheet.")
                                .arg(r ? Text(std::string_view(r).substr(0, 20)) : QString::number(number)));
        mRow.Row = static_cast<int>(number);
        mRow.Cells.clear();
        mSkippedFirst = 0;
        mSkippedLast = 0;
        mColumn = 0;
        mInRow = true;
    }

    void EndRow()
    {
        mInRow = false;
        if (mSkippedFirst > 0)
            mUsedRange.Include(mRow.Row, 1, mSkippedFirst, mSkippedLast);
        if (mRow.Cells.empty())
            return;
        mUsedRange.Include(mRow);
        mOnRow(mRow);
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
        if (style && ParseInteger(style, index) && index >= 0 && static_cast<std::size_t>(index) < mFormats.size())
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
    const TRowSink& mOnRow;
    TSheetRow mRow;
    TUsedRange mUsedRange;
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

} // namespace

QStringList XlsxWorksheetNames(const TZipPackage& package)
{
    QStringList names;
    for (const TWorksheetEntry& sheet : ReadWorkbookParts(package).Worksheets)
        names.append(sheet.Name);
    return names;
}

TUsedRange ReadXlsxWorksheet(const TZipPackage& package, int index, const TRowSink& onRow,
                             const TReadProgress& onProgress, const TColumnSet& columns)
{
    const TWorkbookParts parts = ReadWorkbookParts(package);
    if (index < 0 || static_cast<std::size_t>(index) >= parts.Worksheets.size())
        throw Exception(QStringLiteral("The workbook has no worksheet number %1.").arg(index + 1));
    std::vector<TNumberFormatKind> formats;
    if (!parts.Styles.isEmpty() && package.HasPart(parts.Styles)) {
        TStylesHandler styles;
        ParseXmlPart(package, parts.Styles, styles);
        formats = styles.Kinds();
    }
    TSheetHandler sheet(formats, parts.Date1904, columns, onRow);
    ParseXmlPart(package, parts.Worksheets[static_cast<std::size_t>(index)].Part, sheet, onProgress);
    return sheet.UsedRange();
}
