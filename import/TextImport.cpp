#include "import/TextImport.h"

#include "common/Exception.h"
#include "common/RegularFile.h"
#include "import/TextDateTime.h"
#include "import/TextFields.h"
#include "import/TextLines.h"
#include "import/TextNumber.h"

#include <QFile>

#include <algorithm>
#include <cstring>

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

// The lines of one text, given a block of whole lines at a time.
class TTextImportRun {
public:
    // totalBytes is the length of the whole text, or negative when unknown.
    TTextImportRun(const TTextImportOptions& options, const TTextLocale& locale,
                   std::vector<std::vector<TChartPoint>>& columns, qint64 totalBytes)
        : mOptions(options), mLocale(locale), mColumns(columns),
          mTotalBytes(totalBytes < 0 ? 0 : static_cast<std::size_t>(totalBytes)), mLastField(LastFieldNeeded(options))
    {
        if (mColumns.size() < mOptions.DataFields.size())
            mColumns.resize(mOptions.DataFields.size());
    }

    // Imports the lines of `text`, which starts `offset` bytes into the whole
    // text.
    void Lines(std::string_view text, qint64 offset)
    {
        const char* const start = text.data();
        if (offset == 0 && text.substr(0, Utf8Bom.size()) == Utf8Bom)
            text.remove_prefix(Utf8Bom.size());
        TTextLines lines(text);
        std::string_view line;
        while (lines.Next(line)) {
            SplitTextFields(line, mOptions.Delimiter, mFields, mLastField);
            const TDateTime t = ParseTextDateTime(FieldNumbered(mFields, mOptions.TimeField), mLocale);
            if (t == 0 || !mOptions.Window.Contains(t))
                continue;
            const std::size_t bytesRead =
                static_cast<std::size_t>(offset) + static_cast<std::size_t>(line.data() + line.size() - start);
            for (std::size_t k = 0; k < mOptions.DataFields.size(); ++k) {
                double value = 0;
                if (!TryParseTextNumber(FieldNumbered(mFields, mOptions.DataFields[k]), mLocale.DecimalSeparator,
                                        value))
                    continue;
                std::vector<TChartPoint>& column = mColumns[k];
                if (column.size() == column.capacity())
                    MakeRoom(column, bytesRead, std::max(mTotalBytes, bytesRead));
                column.push_back({t, value});
            }
        }
    }

    // Gives back the room that the columns' estimates left unused.
    void Finish()
    {
        for (std::vector<TChartPoint>& column : mColumns)
            ReleaseSpareRoom(column);
    }

private:
    const TTextImportOptions& mOptions;
    const TTextLocale& mLocale;
    std::vector<std::vector<TChartPoint>>& mColumns;
    std::size_t mTotalBytes;
    // Fields past the last one chosen are never split off: a long line would
    // otherwise cost a view for each of its fields.
    std::size_t mLastField;
    std::vector<std::string_view> mFields;
};

} // namespace

void ImportTextFile(const QString& fileName, const TTextImportOptions& options, const TTextLocale& locale,
                    std::vector<std::vector<TChartPoint>>& columns, TLoadProgress* progress, qsizetype blockSize)
{
    QFile file;
    OpenRegularFile(file, fileName);
    const qint64 size = file.size();
    TTextImportRun run(options, locale, columns, size);

    // The file is read a block at a time into a buffer of our own, so that
    // another program that cuts the file short meanwhile cannot take the text
    // away from under the reader; the import sees what was read. A line cut by
    // the end of a block waits at the start of the buffer for its rest.
    QByteArray buffer;
    TLineEndScan lineEnds;
    qint64 consumed = 0;
    for (bool ended = false; !ended;) {
        const qsizetype kept = buffer.size();
        buffer.resize(kept + blockSize);
        const qint64 count = file.read(buffer.data() + kept, blockSize);
        if (count < 0)
            throw CannotOpen(fileName, file);
        buffer.resize(kept + static_cast<qsizetype>(count));
        ended = count == 0;
        // A zero byte ends the text.
        if (const void* zero = std::memchr(buffer.constData() + kept, 0, static_cast<std::size_t>(count))) {
            buffer.truncate(static_cast<const char*>(zero) - buffer.constData());
            ended = true;
        }
        const qsizetype whole = ended ? buffer.size()
                                       : static_cast<qsizetype>(lineEnds.CompleteEnd(
                                           std::string_view(buffer.constData(), static_cast<std::size_t>(buffer.size()))));
        run.Lines(std::string_view(buffer.constData(), static_cast<std::size_t>(whole)), consumed);
        buffer.remove(0, whole);
        consumed += whole;
        ReportLoadProgress(progress, qMin(consumed, size), size);
    }
    run.Finish();
}
