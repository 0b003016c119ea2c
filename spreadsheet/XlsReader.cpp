#include "spreadsheet/XlsReader.h"

#include "common/Exception.h"
#include "spreadsheet/SheetDates.h"

#include <QFile>

#include <freexl.h>

#include <string>

namespace {

void Check(int code)
{
    if (code == FREEXL_OK)
        return;
    if (code == FREEXL_FILE_NOT_FOUND)
        throw Exception(QStringLiteral("The file cannot be opened."));
    if (code == FREEXL_INSUFFICIENT_MEMORY)
        throw Exception(QStringLiteral("The workbook is too large to read."));
    throw Exception(QStringLiteral("The Excel 97-2003 workbook is damaged or of an older kind (FreeXL error %1).").arg(code));
}

// An open FreeXL handle, closed on every way out.
class TXlsFile {
public:
    TXlsFile(const QString& fileName, bool cells)
    {
        const QByteArray path = QFile::encodeName(fileName);
        const int code = cells ? freexl_open(path.constData(), &mHandle) : freexl_open_info(path.constData(), &mHandle);
        if (code != FREEXL_OK) {
            freexl_close(mHandle);
            Check(code);
        }
    }
    ~TXlsFile() { freexl_close(mHandle); }
    TXlsFile(const TXlsFile&) = delete;
    TXlsFile& operator=(const TXlsFile&) = delete;

    const void* Handle() const { return mHandle; }

    int SheetCount() const
    {
        unsigned int count = 0;
        Check(freexl_get_info(mHandle, FREEXL_BIFF_SHEET_COUNT, &count));
        return static_cast<int>(count);
    }

private:
    const void* mHandle = nullptr;
};

// FreeXL gives dates as "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS".
TCell DateCell(const char* text)
{
    std::string iso(text ? text : "");
    if (iso.size() > 10 && iso[10] == ' ')
        iso[10] = 'T';
    TDateTime value = 0;
    if (!ParseIsoDateTime(iso, value))
        throw Exception(QStringLiteral("A cell holds the date \"%1\", which is none.").arg(QString::fromStdString(iso)));
    return {TCellKind::Date, value};
}

TCell CellOf(const FreeXL_CellValue& value)
{
    switch (value.type) {
    case FREEXL_CELL_INT:
        return {TCellKind::Double, static_cast<double>(value.value.int_value)};
    case FREEXL_CELL_DOUBLE:
        return {TCellKind::Double, value.value.double_value};
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return {TCellKind::Text, 0};
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return DateCell(value.value.text_value);
    default:
        return {};
    }
}

} // namespace

QStringList XlsWorksheetNames(const QString& fileName)
{
    const TXlsFile file(fileName, false);
    QStringList names;
    const int count = file.SheetCount();
    for (int i = 0; i < count; ++i) {
        const char* name = nullptr;
        Check(freexl_get_worksheet_name(file.Handle(), static_cast<unsigned short>(i), &name));
        names.append(QString::fromUtf8(name ? name : ""));
    }
    return names;
}

TUsedRange ReadXlsWorksheet(const QString& fileName, int index, const TRowSink& onRow)
{
    const TXlsFile file(fileName, true);
    if (index < 0 || index >= file.SheetCount())
        throw Exception(QStringLiteral("The workbook has no worksheet number %1.").arg(index + 1));
    Check(freexl_select_active_worksheet(file.Handle(), static_cast<unsigned short>(index)));
    unsigned int rows = 0;
    unsigned short columns = 0;
    Check(freexl_worksheet_dimensions(file.Handle(), &rows, &columns));
    TUsedRange used;
    TSheetRow row;
    for (unsigned int r = 0; r < rows && r < static_cast<unsigned int>(MaxSheetRows); ++r) {
        row.Row = static_cast<int>(r) + 1;
        row.Cells.clear();
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            Check(freexl_get_cell_value(file.Handle(), r, c, &value));
            const TCell cell = CellOf(value);
            if (cell.Kind != TCellKind::Empty)
                row.Cells.push_back({c + 1, 1, cell});
        }
        if (row.Cells.empty())
            continue;
        used.Include(row);
        onRow(row);
    }
    return used;
}
