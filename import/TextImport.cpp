#include "import/TextImport.h"

#include "common/Exception.h"
#include "common/PrefaultMemory.h"
#include "common/RegularFile.h"
#include "import/TextBlockWorkers.h"
#include "import/TextLines.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Makes room in a column for `needed` points and for those it will hold at the
// end of the text if the rest of the text keeps points at the rate seen so
// far, so that a column of millions of points is not copied at every
// doubling. The estimate never exceeds what a text of this shape kept in full
// would need.
void MakeRoom(std::vector<TChartPoint>& column, std::size_t needed, std::size_t bytesRead, std::size_t bytesTotal)
{
    const std::size_t size = column.size();
    const double expected = static_cast<double>(needed) * static_cast<double>(bytesTotal)
                            / static_cast<double>(std::max<std::size_t>(bytesRead, 1));
    column.reserve(std::max({needed, size + size / 2 + 16, static_cast<std::size_t>(expected * 1.05)}));
    AdviseHugePages({column.data() + size, (column.capacity() - size) * sizeof(TChartPoint)});
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

// Appends the points of a block that was read to the columns, then throws the
// error that stopped the block, if any. totalBytes is the length of the whole
// text.
void AppendBlock(const TTextBlock& block, std::vector<std::vector<TChartPoint>>& columns, qint64 totalBytes)
{
    const auto bytesRead = static_cast<std::size_t>(block.Offset + block.Text.size());
    for (std::size_t k = 0; k < block.Columns.size(); ++k) {
        const std::vector<TChartPoint>& points = block.Columns[k];
        std::vector<TChartPoint>& column = columns[k];
        const std::size_t needed = column.size() + points.size();
        if (needed > column.capacity())
            MakeRoom(column, needed, bytesRead, std::max(static_cast<std::size_t>(totalBytes), bytesRead));
        column.insert(column.end(), points.begin(), points.end());
    }
    if (block.Error)
        std::rethrow_exception(block.Error);
}

} // namespace

void ImportTextFile(const QString& fileName, const TTextImportOptions& options, const TTextLocale& locale,
                    std::vector<std::vector<TChartPoint>>& columns, TLoadProgress* progress, qsizetype blockSize)
{
    QFile file;
    OpenRegularFile(file, fileName);
    const qint64 size = file.size();
    if (columns.size() < options.DataFields.size())
        columns.resize(options.DataFields.size());

    // Blocks of whole lines go to the helpers while the next ones are read;
    // their points join the columns in the order of the blocks, so the first
    // error of the text is the one that stops the import, with the points
    // before it in the columns. At most twice as many blocks as there are
    // helpers wait at a time, and blocks taken back are used again.
    TTextBlockWorkers workers(options, locale);
    const std::size_t mostPending = 2 * workers.Helpers();
    std::vector<std::unique_ptr<TTextBlock>> spare;
    const auto spareBlock = [&spare] {
        if (spare.empty())
            return std::make_unique<TTextBlock>();
        std::unique_ptr<TTextBlock> block = std::move(spare.back());
        spare.pop_back();
        return block;
    };
    qint64 appended = 0;
    const auto appendOldest = [&] {
        std::unique_ptr<TTextBlock> block = workers.TakeOldest();
        AppendBlock(*block, columns, size);
        appended = block->Offset + block->Text.size();
        ReportLoadProgress(progress, qMin(appended, size), size);
        // The buffer of a line many blocks long goes rather than waiting
        // for another such line.
        if (block->Text.capacity() > 4 * blockSize)
            block->Text = QByteArray();
        spare.push_back(std::move(block));
    };

    // The file is read a block at a time into buffers of our own, so that
    // another program that cuts the file short meanwhile cannot take the text
    // away from under the reader; the import sees what was read. A line cut by
    // the end of a block moves to the start of the next block's buffer and
    // waits there for its rest.
    std::unique_ptr<TTextBlock> current = spareBlock();
    TLineEndScan lineEnds;
    qint64 consumed = 0;
    for (bool ended = false; !ended;) {
        QByteArray& buffer = current->Text;
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
        if (whole > 0) {
            std::unique_ptr<TTextBlock> next = spareBlock();
            next->Text.truncate(0);
            next->Text.append(buffer.constData() + whole, buffer.size() - whole);
            buffer.truncate(whole);
            current->Offset = consumed;
            consumed += whole;
            workers.Read(std::move(current));
            current = std::move(next);
        } else {
            // A line longer than a block is still being read: the user may
            // cancel meanwhile.
            ReportLoadProgress(progress, qMin(appended, size), size);
        }
        while (workers.Pending() > mostPending || (ended && workers.Pending() > 0))
            appendOldest();
    }
    for (std::vector<TChartPoint>& column : columns)
        ReleaseSpareRoom(column);
}
