#include "spreadsheet/Workbook.h"

#include "common/Exception.h"
#include "spreadsheet/OdsReader.h"
#include "spreadsheet/XlsReader.h"
#include "spreadsheet/XlsxReader.h"
#include "spreadsheet/ZipPackage.h"

#include <QFile>

namespace {

enum class TWorkbookFormat { Zip, Compound };

TWorkbookFormat FormatOf(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(file.errorString() + QLatin1Char('.'));
    const QByteArray start = file.read(8);
    if (start.startsWith("PK"))
        return TWorkbookFormat::Zip;
    if (start == QByteArray::fromHex("d0cf11e0a1b11ae1"))
        return TWorkbookFormat::Compound;
    throw Exception(QStringLiteral("It is no Excel or OpenDocument workbook."));
}

bool IsOpenDocument(const TZipPackage& package)
{
    return !package.HasPart("_rels/.rels") && package.HasPart("content.xml");
}

// Runs read and gives its error the file's name.
template <class Read>
auto Reading(const QString& fileName, Read read)
{
    try {
        return read();
    } catch (const Exception& error) {
        throw Exception(QStringLiteral("Cannot read the workbook \"%1\". %2").arg(fileName, error.Message()));
    }
}

} // namespace

QStringList WorksheetNames(const QString& fileName)
{
    return Reading(fileName, [&] {
        if (FormatOf(fileName) == TWorkbookFormat::Compound)
            return XlsWorksheetNames(fileName);
        const TZipPackage package(fileName);
        return IsOpenDocument(package) ? OdsWorksheetNames(package) : XlsxWorksheetNames(package);
    });
}

TUsedRange ReadWorksheet(const QString& fileName, int index, const TRowSink& onRow,
                         const TReadProgress& onProgress, const TColumnSet& columns)
{
    // The .xls and .ods readers find the values of their cells without
    // collecting any text: their rows are cut down to the columns here.
    TSheetRow kept;
    const TRowSink onKeptRow = [&](const TSheetRow& row) {
        columns.Filter(row, kept);
        if (!kept.Cells.empty())
            onRow(kept);
    };
    return Reading(fileName, [&] {
        if (FormatOf(fileName) == TWorkbookFormat::Compound)
            return ReadXlsWorksheet(fileName, index, onKeptRow, onProgress);
        const TZipPackage package(fileName);
        return IsOpenDocument(package) ? ReadOdsWorksheet(package, index, onKeptRow, onProgress)
                                       : ReadXlsxWorksheet(package, index, onRow, onProgress, columns);
    });
}
