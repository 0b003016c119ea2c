#include "spreadsheet/XlsReader.h"

#include "spreadsheet/XlsCompoundFile.h"
#include "spreadsheet/XlsWorkbook.h"

namespace {

std::string_view View(const QByteArray& bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

} // namespace

QStringList XlsWorksheetNames(const QString& fileName)
{
    return XlsStreamWorksheetNames(View(ReadXlsWorkbookStream(fileName)));
}

TUsedRange ReadXlsWorksheet(const QString& fileName, int index, const TRowSink& onRow,
                            const TReadProgress& onProgress)
{
    const QByteArray stream = ReadXlsWorkbookStream(fileName);
    return ReadXlsStreamWorksheet(View(stream), index, onRow, onProgress);
}
