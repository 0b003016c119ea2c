#include "import/TextImport.h"

#include "common/Exception.h"
#include "common/RegularFile.h"
#include "import/TextDateTime.h"
#include "import/TextFields.h"
#include "import/TextLines.h"
#include "import/TextNumber.h"

#include <QFile>

#include <algorithm>

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

// Makes room in a full column for the points it will hold at the end of the
// text if the rest of the text keeps points at the rate seen so far, so that a
// column of millions of points is not copied at every doubling. The estimate
// never exceeds what a text of this shape kept in full would need.
void MakeRoom(std::vector<TChartPoint>& column, std::size_t bytesRead, std::size_t bytesTotal)
{
    const std::size_t size = column.size();
    const double expected = static_cast<double>(size + 1) * static_cast<double>(bytesTotal)
                            / static_cast<double>(std::max<std::size_t>(bytesRead, 1));
    column.reserve(std::max(size + size / 2 + 16, static_cast<std::size_t>(expected * 1.05)));
}

// Gives back the room of a column whose estimate proved far too high.
void ReleaseSpareRoom(std::vector<TChartPoint>& column)
{
    if (column.capacity() - column.size() > column.size() / 2 + 1024)
        column.shrink_to_fit();
}

Exception CannotOpen(const QString& fileName, const QFile& file)
{
    return Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
}

// Reads the file into memory in one go. The import works on this copy, so
// another program that cuts the file short meanwhile cannot take the text away
// from under the reader; the import sees what was read.
QByteArray ReadWholeFile(QFile& file, const QString& fileName)
{
    const qint64 size = file.size();
    QByteArray content(size, Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const qint64 count = file.read(content.data() + done, size - done);
        if (count < 0)
            throw CannotOpen(fileName, file);
        if (count == 0)
            break;
        done += count;
    }
    content.truncate(done);
    return content;
}

} // namespace

void ImportText(std::string_view text, const TTextImportOptions& options, const TTextLocale& locale,
                std::vector<std::vector<TChartPoint>>& columns)
{
    if (columns.size() < options.DataFields.size())
        columns.resize(options.DataFields.size());

    if (text.substr(0, Utf8Bom.size()) == Utf8Bom)
        text.remove_prefix(Utf8Bom.size());
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
        const std::size_t bytesRead = static_cast<std::size_t>(line.data() + line.size() - text.data());
        for (std::size_t k = 0; k < options.DataFields.size(); ++k) {
            double value = 0;
            if (!TryParseTextNumber(FieldNumbered(fields, options.DataFields[k]), locale.DecimalSeparator, value))
                continue;
            std::vector<TChartPoint>& column = columns[k];
            if (column.size() == column.capacity())
                MakeRoom(column, bytesRead, text.size());
            column.push_back({t, value});
        }
    }
    for (std::vector<TChartPoint>& column : columns)
        ReleaseSpareRoom(column);
}

void ImportTextFile(const QString& fileName, const TTextImportOptions& options, const TTextLocale& locale,
                    std::vector<std::vector<TChartPoint>>& columns)
{
    QFile file;
    OpenRegularFile(file, fileName);
    const QByteArray content = ReadWholeFile(file, fileName);
    file.close();
    ImportText(std::string_view(content.constData(), static_cast<std::size_t>(content.size())), options, locale,
               columns);
}
