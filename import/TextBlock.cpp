#include "import/TextBlock.h"

#include "common/Exception.h"
#include "import/TextDateTime.h"
#include "import/TextFields.h"
#include "import/TextLines.h"
#include "import/TextNumber.h"

#include <algorithm>
#include <string_view>

namespace {

// The UTF-8 byte-order mark that some programs put at the start of a text.
constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// The highest field number a line is read to.
std::size_t LastFieldNeeded(const TTextImportOptions& options)
{
    int last = options.TimeField;
    for (const int field : options.DataFields)
        last = std::max(last, field);
    return static_cast<std::size_t>(std::max(last, 0));
}

std::string_view FieldNumbered(const std::vector<std::string_view>& fields, int number)
{
    if (number < 1 || static_cast<std::size_t>(number) > fields.size())
        throw Exception(QStringLiteral("List index out of bounds (%1)").arg(number - 1));
    return fields[static_cast<std::size_t>(number) - 1];
}

void ParseLines(std::string_view text, const TTextImportOptions& options, const TTextLocale& locale,
                std::vector<std::vector<TChartPoint>>& columns)
{
    // Fields past the last one chosen are never split off: a long line would
    // otherwise cost a view for each of its fields.
    const std::size_t lastField = LastFieldNeeded(options);
    std::vector<std::string_view> fields;
    TTextLines lines(text);
    std::string_view line;
    while (lines.Next(line)) {
        SplitTextFields(line, options.Delimiter, fields, lastField);
        const TDateTime t = ParseTextDateTime(FieldNumbered(fields, options.TimeField), locale);
        if (t == 0 || !options.Window.Contains(t))
            continue;
        for (std::size_t k = 0; k < options.DataFields.size(); ++k) {
            double value = 0;
            if (TryParseTextNumber(FieldNumbered(fields, options.DataFields[k]), locale.DecimalSeparator, value))
                columns[k].push_back({t, value});
        }
    }
}

} // namespace

void ParseTextBlock(TTextBlock& block, const TTextImportOptions& options, const TTextLocale& locale)
{
    block.Error = nullptr;
    try {
        block.Columns.resize(options.DataFields.size());
        for (std::vector<TChartPoint>& column : block.Columns)
            column.clear();
        std::string_view text(block.Text.constData(), static_cast<std::size_t>(block.Text.size()));
        if (block.Offset == 0 && text.substr(0, Utf8Bom.size()) == Utf8Bom)
            text.remove_prefix(Utf8Bom.size());
        ParseLines(text, options, locale, block.Columns);
    } catch (...) {
        block.Error = std::current_exception();
    }
}
