// How much memory the text import takes for a long line. The program's
// operator new counts the bytes live while a measurement runs.
#include "import/TextImport.h"

#include "common/Exception.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

std::atomic<bool> gCounting{false};
std::atomic<long long> gLive{0};
std::atomic<long long> gPeak{0};

// The most bytes that were live at once while measure ran, beyond those live
// when it started.
template <class Measure>
long long PeakBytes(Measure&& measure)
{
    gLive = 0;
    gPeak = 0;
    gCounting = true;
    measure();
    gCounting = false;
    return gPeak;
}

// COMMA, the time in field 1 and the given data fields, 07:00 to 08:00.
TTextImportOptions CommaOptions(std::vector<int> dataFields)
{
    TTextImportOptions options;
    options.Delimiter = ',';
    options.TimeField = 1;
    options.DataFields = std::move(dataFields);
    options.Window = {EncodeTime(QTime(7, 0)), EncodeTime(QTime(8, 0))};
    return options;
}

// Writes text into a file of folder and returns its path.
QString WriteText(const QTemporaryDir& folder, const std::string& text)
{
    const QString fileName = folder.filePath(QStringLiteral("data.csv"));
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    return fileName;
}

} // namespace

void* operator new(std::size_t size)
{
    void* p = std::malloc(std::max<std::size_t>(size, 1));
    if (!p)
        throw std::bad_alloc();
    if (gCounting) {
        const long long live = gLive += static_cast<long long>(malloc_usable_size(p));
        long long peak = gPeak;
        while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
        }
    }
    return p;
}

void operator delete(void* p) noexcept
{
    if (p && gCounting)
        gLive -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

TEST(TextImportMemory, ALongLineIsSplitOnlyUpToTheLastFieldChosen)
{
    // One line of a million fields, 2 MB of text; fields 2 and 3 are chosen.
    std::string line = "07:00:00";
    line.reserve(2'000'020);
    for (int i = 0; i < 1'000'000; ++i)
        line += ",1";
    TTextImportOptions options = CommaOptions({3, 2});
    const TTextLocale locale(QLocale(QStringLiteral("en_US")), 2024);
    const QTemporaryDir folder;
    const QString fileName = WriteText(folder, line);
    std::vector<std::vector<TChartPoint>> columns;
    const long long peak = PeakBytes([&] { ImportTextFile(fileName, options, locale, columns); });
    ASSERT_EQ(columns.size(), 2u);
    ASSERT_EQ(columns[0].size(), 1u);
    EXPECT_EQ(columns[0][0].Y, 1);
    // A view of each field of the line would be 16 MB.
    EXPECT_LT(peak, 64 * 1024);

    // A chosen field past the end of the line is still reported.
    options.DataFields = {1'000'002};
    try {
        ImportTextFile(fileName, options, locale, columns);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), "List index out of bounds (1000001)");
    }
}

TEST(TextImportMemory, BlocksWaitingForTheColumnsAreFew)
{
    // 300,000 lines in blocks of 8 KB: were the file read ahead of the
    // helpers and of the columns, the points of its blocks would be held a
    // second time beside the columns.
    constexpr int Lines = 300'000;
    std::string text;
    text.reserve(Lines * 18);
    for (int i = 0; i < Lines; ++i)
        text += "07:00:00.000," + std::to_string(i) + "\n";
    const TTextImportOptions options = CommaOptions({2});
    const TTextLocale locale(QLocale(QStringLiteral("en_US")), 2024);
    const QTemporaryDir folder;
    const QString fileName = WriteText(folder, text);
    std::vector<std::vector<TChartPoint>> columns;
    const long long peak = PeakBytes([&] { ImportTextFile(fileName, options, locale, columns, nullptr, 8 << 10); });
    ASSERT_EQ(columns.at(0).size(), std::size_t(Lines));
    const long long columnBytes = Lines * static_cast<long long>(sizeof(TChartPoint));
    EXPECT_LT(peak, columnBytes * 3 / 2);
}
