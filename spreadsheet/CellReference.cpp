#include "spreadsheet/CellReference.h"

#include "common/Exception.h"
#include "spreadsheet/SheetCells.h"

#include <algorithm>

namespace {

Exception BadReference(std::string_view text)
{
    return Exception(QStringLiteral("The cell reference \"%1\" lies outside a worksheet or is no cell reference.")
                         .arg(QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 40)))));
}

} // namespace

void ParseCellReference(std::string_view text, int& column, int& row)
{
    std::size_t pos = 0;
    long long letters = 0;
    while (pos < text.size() && text[pos] >= 'A' && text[pos] <= 'Z' && letters <= MaxSheetColumns) {
        letters = letters * 26 + (text[pos] - 'A' + 1);
        ++pos;
    }
    long long number = 0;
    const std::size_t digitsStart = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && number <= MaxSheetRows) {
        number = number * 10 + (text[pos] - '0');
        ++pos;
    }
    if (pos != text.size() || digitsStart == 0 || pos == digitsStart || letters > MaxSheetColumns || number < 1
        || number > MaxSheetRows)
        throw BadReference(text);
    column = static_cast<int>(letters);
    row = static_cast<int>(number);
}
