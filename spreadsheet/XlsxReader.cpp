#include "spreadsheet/XlsxReader.h"

#include "common/Exception.h"
#include "spreadsheet/NumberFormats.h"
#include "spreadsheet/XlsxSheetData.h"
#include "spreadsheet/XmlPart.h"
#include "spreadsheet/ZipPackage.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

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
            if (id && code && XmlInteger(id, number))
                mTable.AddCode(number, code);
        } else if (name == "cellXfs") {
            mInCellFormats = true;
        } else if (name == "xf" && mInCellFormats) {
            const char* id = XmlAttribute(attributes, "numFmtId");
            long long number = 0;
            mFormatIds.push_back(id && XmlInteger(id, number) ? number : 0);
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
    return ReadXlsxSheetData(package, parts.Worksheets[static_cast<std::size_t>(index)].Part, formats, parts.Date1904,
                             columns, onRow, onProgress);
}
