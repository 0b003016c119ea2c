#include "import/TextImport.h"

#include "common/Exception.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<double, double>>;

TDateTime Time(int hour, int minute = 0, int second = 0)
{
    return EncodeTime(QTime(hour, minute, second));
}

TTextLocale Locale(const char* name)
{
    return TTextLocale(QLocale(QString::fromLatin1(name)), 2024);
}

// Records every step and cancels at the one numbered CancelAt (from 1).
class RecordingProgress : public TLoadProgress {
public:
    int CancelAt = 0;
    std::vector<std::pair<qint64, qint64>> Steps;

    bool Step(qint64 done, qint64 total) override
    {
        Steps.emplace_back(done, total);
        return static_cast<int>(Steps.size()) != CancelAt;
    }
};

class TextImport : public testing::Test {
protected:
    QString WriteFile(const std::string& content)
    {
        const QString fileName = mFolder.filePath(QStringLiteral("data.csv"));
        QFile file(fileName);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), static_cast<qint64>(content.size()));
        return fileName;
    }

    // Imports the content and returns the message of the error that stopped
    // it, empty when it ran to its end.
    QString Import(const std::string& content, const TTextImportOptions& options, const char* locale = "en_US")
    {
        try {
            ImportTextFile(WriteFile(content), options, Locale(locale), mColumns);
        } catch (const Exception& error) {
            return error.Message();
        }
        return {};
    }

    // Imports the file in blocks of blockSize bytes and returns the message
    // of the error that stopped it, empty when it ran to its end.
    QString ImportInBlocks(const QString& fileName, const TTextImportOptions& options, qsizetype blockSize)
    {
        mColumns.clear();
        try {
            ImportTextFile(fileName, options, Locale("en_US"), mColumns, nullptr, blockSize);
        } catch (const Exception& error) {
            return error.Message();
        }
        return {};
    }

    Points Column(std::size_t k) const
    {
        Points points;
        for (const TChartPoint& point : mColumns.at(k))
            points.emplace_back(point.X, point.Y);
        return points;
    }

    QTemporaryDir mFolder;
    std::vector<std::vector<TChartPoint>> mColumns;
};

TTextImportOptions Options(char delimiter, int timeField, std::vector<int> dataFields, TDateTime start, TDateTime end)
{
    TTextImportOptions options;
    options.Delimiter = delimiter;
    options.TimeField = timeField;
    options.DataFields = std::move(dataFields);
    options.Window = {start, end};
    return options;
}

} // namespace

TEST_F(TextImport, KeepsTheLinesInTheWindowAndTheFieldsThatAreNumbers)
{
    const std::string content =
        "Time,Speed,Temp\r\n"
        "06:59:59,1,1\r\n"
        "07:00:00,1.5,20\r\n"
        "07:00:30, 2.5 ,x\r\n"
        "07:00:45,,21\r\n"
        "07:01:00,3e1,22\r\n"
        "07:01:01,4,23\r\n"
        "1/5/2024 07:00:30,5,24\r\n"
        "08:00\r\n";
    EXPECT_EQ(Import(content, Options(',', 1, {2, 3}, Time(7), Time(7, 1))), QString());
    ASSERT_EQ(mColumns.size(), 2u);
    EXPECT_EQ(Column(0), (Points{{Time(7), 1.5}, {Time(7, 0, 30), 2.5}, {Time(7, 1), 30}}));
    EXPECT_EQ(Column(1), (Points{{Time(7), 20}, {Time(7, 0, 45), 21}, {Time(7, 1), 22}}));
}

TEST_F(TextImport, SkipsTheTimeZeroAndTimesAloneOutsideADatedWindow)
{
    const std::string content = "00:00:00\t1\n00:00:01\t2\n";
    EXPECT_EQ(Import(content, Options('\t', 1, {2}, 0, 1)), QString());
    EXPECT_EQ(Column(0), (Points{{Time(0, 0, 1), 2}}));

    // Times alone lie on day 0: a window on a real date keeps none of them,
    // and the columns are still there, empty.
    mColumns.clear();
    const TDateTime day = EncodeDate(QDate(2024, 1, 5));
    EXPECT_EQ(Import(content, Options('\t', 1, {2, 1}, day, day + 1)), QString());
    ASSERT_EQ(mColumns.size(), 2u);
    EXPECT_TRUE(mColumns[0].empty());
    EXPECT_TRUE(mColumns[1].empty());
}

TEST_F(TextImport, ReadsTheLocaleFormats)
{
    struct Case {
        const char* locale;
        char delimiter;
        std::string content;
        Points points;
    };
    const TDateTime day = EncodeDate(QDate(2024, 1, 5));
    const Case cases[] = {
        {"de_DE", '\t', "05.01.2024.07:00:00,5\t1,5\n",
         {{DateTimeFromQDateTime(QDateTime(QDate(2024, 1, 5), QTime(7, 0, 0, 500))), 1.5}}},
        {"de_DE", ' ', "05.01.2024 1,5\n", {{day, 1.5}}},
        // With a decimal comma a COMMA delimiter cuts "1,5" into two fields.
        {"de_DE", ',', "05.01.2024,1,5\n", {{day, 1}}},
        {"en_GB", ',', "05/01/2024,1.5\n", {{day, 1.5}}},
        // A blank splits a date and a time into two fields.
        {"en_US", ',', "1/5/2024 7:00:00 PM,1.5\n", {}},
        {"en_US", ',', "1/5/2024/7:00:00PM,1.5\n", {{day + Time(19), 1.5}}},
    };
    for (const Case& c : cases) {
        mColumns.clear();
        EXPECT_EQ(Import(c.content, Options(c.delimiter, 1, {2}, day, day + 1), c.locale), QString()) << c.content;
        EXPECT_EQ(Column(0), c.points) << c.locale << " " << c.content;
    }
}

TEST_F(TextImport, AShortLineStopsTheLoadAndKeepsThePointsSoFar)
{
    struct Case {
        const char* name;
        std::string content;
        int timeField;
        QString message;
        Points first;
        Points second;
    };
    const Case cases[] = {
        // Field 3 is missing from the second line: field 2 of that line is in.
        {"data field", "07:00:00,1,10\n07:00:01,2\n07:00:02,3,30\n", 1, "List index out of bounds (2)",
         {{Time(7), 1}, {Time(7, 0, 1), 2}}, {{Time(7), 10}}},
        // A line outside the window is not looked at past its time.
        {"skipped line", "06:00:00\n07:00:00,1,10\n", 1, "", {{Time(7), 1}}, {{Time(7), 10}}},
        {"time field", "1,2,07:00:00\n1,07:00:01\n", 3, "List index out of bounds (2)", {{Time(7), 1}},
         {{Time(7), 2}}},
        {"two line ends", "07:00:00,1,10\n07:00:01,2,20\n\n", 1, "List index out of bounds (0)",
         {{Time(7), 1}, {Time(7, 0, 1), 2}}, {{Time(7), 10}, {Time(7, 0, 1), 20}}},
        {"one line end", "07:00:00,1,10\n07:00:01,2,20\n", 1, "", {{Time(7), 1}, {Time(7, 0, 1), 2}},
         {{Time(7), 10}, {Time(7, 0, 1), 20}}},
        {"blank line", "07:00:00,1,10\n \t\n07:00:01,2,20\n", 1, "List index out of bounds (0)", {{Time(7), 1}},
         {{Time(7), 10}}},
    };
    for (const Case& c : cases) {
        mColumns.clear();
        const int dataField = c.timeField == 1 ? 2 : 1;
        EXPECT_EQ(Import(c.content, Options(',', c.timeField, {dataField, dataField + 1}, Time(7), Time(8))), c.message)
            << c.name;
        EXPECT_EQ(Column(0), c.first) << c.name;
        EXPECT_EQ(Column(1), c.second) << c.name;
    }
}

TEST_F(TextImport, AByteOrderMarkAtTheStartIsSkipped)
{
    const TTextImportOptions options = Options(',', 1, {2}, Time(7), Time(8));
    EXPECT_EQ(Import("\xEF\xBB\xBF" "07:00:00,1\r\n07:00:01,2\r\n", options), QString());
    EXPECT_EQ(Column(0), (Points{{Time(7), 1}, {Time(7, 0, 1), 2}}));

    // A mark alone is an empty text; one further on is part of its field.
    mColumns.clear();
    EXPECT_EQ(Import("\xEF\xBB\xBF", options), QString());
    EXPECT_TRUE(mColumns.at(0).empty());
    EXPECT_EQ(Import("07:00:00,1\n\xEF\xBB\xBF" "07:00:01,2\n", options), QString());
    EXPECT_EQ(Column(0), (Points{{Time(7), 1}}));
}

TEST_F(TextImport, AppendsToTheColumnsItIsGiven)
{
    mColumns = {{{1, 1}}};
    EXPECT_EQ(Import("07:00:00,5,6\n", Options(',', 1, {2, 3}, Time(7), Time(8))), QString());
    EXPECT_EQ(Column(0), (Points{{1, 1}, {Time(7), 5}}));
    EXPECT_EQ(Column(1), (Points{{Time(7), 6}}));
}

TEST_F(TextImport, ManyLinesKeepEveryPointInOrder)
{
    std::string content = "Time,Value\n";
    for (int i = 1; i <= 20000; ++i)
        content += QTime(7, 0).addMSecs(i * 100).toString(QStringLiteral("HH:mm:ss.zzz")).toStdString() + ","
                   + std::to_string(i) + (i % 2 ? "\n" : ",x\r\n");
    EXPECT_EQ(Import(content, Options(',', 1, {2}, Time(7), Time(8))), QString());
    const Points points = Column(0);
    ASSERT_EQ(points.size(), 20000u);
    for (int i = 1; i <= 20000; i += 997) {
        EXPECT_EQ(points[i - 1].first, EncodeTime(QTime(7, 0).addMSecs(i * 100))) << i;
        EXPECT_EQ(points[i - 1].second, i) << i;
    }
}

TEST_F(TextImport, AFileThatCannotBeOpenedStopsTheLoad)
{
    const QString missing = mFolder.filePath(QStringLiteral("missing.csv"));
    const TTextImportOptions options = Options(',', 1, {2}, 0, 1);
    try {
        ImportTextFile(missing, options, Locale("en_US"), mColumns);
        FAIL() << "no error";
    } catch (const Exception& error) {
        EXPECT_EQ(error.Message(), QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
    }

    // What is no regular file is refused at once: a named pipe would block the
    // window until some program writes into it.
    const QString pipe = mFolder.filePath(QStringLiteral("pipe.csv"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const std::pair<QString, const char*> notFiles[] = {
        {pipe, "a named pipe"}, {mFolder.path(), "a folder"}, {QStringLiteral("/dev/null"), "a device"}};
    for (const auto& [path, kind] : notFiles) {
        try {
            ImportTextFile(path, options, Locale("en_US"), mColumns);
            ADD_FAILURE() << "no error for " << kind;
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(),
                      QStringLiteral("Cannot open file \"%1\". It is %2, not a regular file.").arg(path, QLatin1String(kind)));
        }
    }
}

TEST_F(TextImport, AnEmptyFileHasNoLines)
{
    EXPECT_EQ(Import("", Options(',', 1, {2}, 0, 1)), QString());
    ASSERT_EQ(mColumns.size(), 1u);
    EXPECT_TRUE(mColumns[0].empty());
}

TEST_F(TextImport, BlocksOfAnySizeReadTheLinesAsAWholeTextWould)
{
    // Line ends of every kind, a CR LF and a lone CR at every place a block
    // may end, a line longer than a block, a zero byte, a last line without
    // an end, a short line that stops the import, a byte-order mark.
    const std::string texts[] = {
        "07:00:01,1\r\n07:00:02,2\r07:00:03,3\n\n07:00:04,4\r\r\n07:00:05,5",
        "07:00:01,1\r\n07:00:02,2\r\n07:00:03,3\r\n",
        "07:00:01,1234567890.25\r\r07:00:02,2\0" "07:00:03,3\n",
        "07:00:01,1\r\n07:00:02\r\n07:00:03,3\r\n",
        "\xEF\xBB\xBF" "07:00:01,1\n07:00:02,2\n",
    };
    const TTextImportOptions options = Options(',', 1, {2}, Time(7), Time(8));
    for (const std::string& text : texts) {
        const QString fileName = WriteFile(text);
        const auto importWith = [&](qsizetype blockSize) {
            const QString error = ImportInBlocks(fileName, options, blockSize);
            return std::make_pair(error, Column(0));
        };
        const auto whole = importWith(TextImportBlockSize);
        EXPECT_FALSE(whole.second.empty());
        for (qsizetype blockSize = 1; blockSize <= 13; ++blockSize)
            EXPECT_EQ(importWith(blockSize), whole) << "block size " << blockSize << " of " << text;
    }
}

TEST_F(TextImport, ReportsEachBlockAndStopsAtOnceWhenCancelled)
{
    std::string content;
    for (int i = 0; i < 100; ++i)
        content += "07:00:" + std::to_string(10 + i % 50) + ",1\n";
    const QString fileName = WriteFile(content);
    const qint64 size = static_cast<qint64>(content.size());
    const TTextImportOptions options = Options(',', 1, {2}, Time(7), Time(8));

    RecordingProgress progress;
    ImportTextFile(fileName, options, Locale("en_US"), mColumns, &progress, 100);
    ASSERT_GE(progress.Steps.size(), std::size_t(size / 100));
    for (std::size_t i = 1; i < progress.Steps.size(); ++i)
        EXPECT_LE(progress.Steps[i - 1].first, progress.Steps[i].first);
    EXPECT_EQ(progress.Steps.back(), std::make_pair(size, size));
    EXPECT_EQ(mColumns.at(0).size(), 100u);

    mColumns.clear();
    RecordingProgress cancelling;
    cancelling.CancelAt = 3;
    EXPECT_THROW(ImportTextFile(fileName, options, Locale("en_US"), mColumns, &cancelling, 100), LoadCancelled);
    EXPECT_EQ(cancelling.Steps.size(), 3u);
    EXPECT_LT(mColumns.at(0).size(), 100u);
}

namespace {

// Lines "07:00:00.000,0" onwards, 10 ms and 1 apart, with every line end
// given; the points they make.
std::string NumberedLines(int count, const char* lineEnd = "\n")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += QTime(7, 0).addMSecs(i * 10).toString(QStringLiteral("HH:mm:ss.zzz")).toStdString() + ","
                + std::to_string(i) + lineEnd;
    return text;
}

Points NumberedPoints(int first, int count)
{
    Points points;
    for (int i = first; i < first + count; ++i)
        points.emplace_back(EncodeTime(QTime(7, 0).addMSecs(i * 10)), i);
    return points;
}

// Where the line numbered `line` (from 0) starts in the text.
std::size_t LineStart(const std::string& text, int line)
{
    std::size_t at = 0;
    for (int i = 0; i < line; ++i)
        at = text.find('\n', at) + 1;
    return at;
}

} // namespace

TEST_F(TextImport, ABadLineInAnyBlockStopsAtTheFirstOneWithEverythingBeforeIt)
{
    // 400 lines cut into blocks of a few lines each: the first bad line names
    // the error and keeps the points before it, whichever block a helper
    // reads first and whatever bad lines come after it.
    struct Case {
        const char* name;
        int shortLine;  // lacks field 2: "List index out of bounds (1)"
        int blankLine;  // lacks field 1: "List index out of bounds (0)"
        QString message;
        int kept;
    };
    const Case cases[] = {
        {"first block", 1, -1, "List index out of bounds (1)", 1},
        {"first block, later blocks bad too", 2, 300, "List index out of bounds (1)", 2},
        {"later block", 250, -1, "List index out of bounds (1)", 250},
        {"later block, a worse one after", 250, 399, "List index out of bounds (1)", 250},
        {"two bad lines, the second first", 390, 120, "List index out of bounds (0)", 120},
        {"last line", 399, -1, "List index out of bounds (1)", 399},
    };
    const TTextImportOptions options = Options(',', 1, {2}, Time(7), Time(8));
    for (const Case& c : cases) {
        std::string text = NumberedLines(400);
        // The later line first, so that the earlier one's place still holds.
        const auto spoil = [&text](int line, const char* with) {
            if (line < 0)
                return;
            const std::size_t start = LineStart(text, line);
            text.replace(start, text.find('\n', start) - start, with);
        };
        if (c.shortLine > c.blankLine) {
            spoil(c.shortLine, "07:59:00");
            spoil(c.blankLine, "");
        } else {
            spoil(c.blankLine, "");
            spoil(c.shortLine, "07:59:00");
        }
        const QString fileName = WriteFile(text);
        for (const qsizetype blockSize : {qsizetype(7), qsizetype(64), qsizetype(1000), TextImportBlockSize}) {
            EXPECT_EQ(ImportInBlocks(fileName, options, blockSize), c.message) << c.name << ", block size " << blockSize;
            EXPECT_EQ(Column(0), NumberedPoints(0, c.kept)) << c.name << ", block size " << blockSize;
        }
    }
}

TEST_F(TextImport, SmallBlocksReadWhatOneBlockReads)
{
    // A window that closes in the first blocks (the lines after it lack their
    // data field, which outside the window is no error), CR LF line ends cut
    // by the blocks at every place, and a second data field.
    std::string windowed = NumberedLines(30, "\r\n");
    for (int i = 0; i < 300; ++i)
        windowed += "07:30:00\r\n";
    struct Case {
        const char* name;
        std::string text;
        TTextImportOptions options;
    };
    const Case cases[] = {
        {"window closing early", windowed, Options(',', 1, {2}, Time(7), Time(7, 0, 0) + EncodeTime(QTime(0, 0, 0, 200)))},
        {"CR LF", NumberedLines(300, "\r\n"), Options(',', 1, {2, 2}, Time(7), Time(8))},
        {"lone CR", NumberedLines(300, "\r"), Options(',', 1, {2}, Time(7), Time(8))},
    };
    for (const Case& c : cases) {
        const QString fileName = WriteFile(c.text);
        mColumns.clear();
        ImportTextFile(fileName, c.options, Locale("en_US"), mColumns);
        const std::vector<std::vector<TChartPoint>> whole = mColumns;
        ASSERT_FALSE(whole.at(0).empty()) << c.name;
        for (qsizetype blockSize = 1; blockSize <= 40; ++blockSize) {
            mColumns.clear();
            ImportTextFile(fileName, c.options, Locale("en_US"), mColumns, nullptr, blockSize);
            ASSERT_EQ(mColumns.size(), whole.size()) << c.name;
            for (std::size_t k = 0; k < whole.size(); ++k) {
                ASSERT_EQ(mColumns[k].size(), whole[k].size()) << c.name << ", block size " << blockSize;
                EXPECT_TRUE(std::equal(whole[k].begin(), whole[k].end(), mColumns[k].begin(),
                                       [](const TChartPoint& a, const TChartPoint& b) { return a.X == b.X && a.Y == b.Y; }))
                    << c.name << ", block size " << blockSize;
            }
        }
    }
    mColumns.clear();
    ImportTextFile(WriteFile(windowed), cases[0].options, Locale("en_US"), mColumns, nullptr, 16);
    EXPECT_EQ(Column(0), NumberedPoints(0, 21));
}

TEST_F(TextImport, ACancelMidLoadKeepsTheBlocksBeforeItInOrder)
{
    const std::string text = NumberedLines(2000);
    const QString fileName = WriteFile(text);
    const qint64 size = static_cast<qint64>(text.size());
    const TTextImportOptions options = Options(',', 1, {2}, Time(7), Time(8));
    for (const int cancelAt : {1, 10, 100}) {
        mColumns.clear();
        RecordingProgress cancelling;
        cancelling.CancelAt = cancelAt;
        EXPECT_THROW(ImportTextFile(fileName, options, Locale("en_US"), mColumns, &cancelling, 64), LoadCancelled);
        ASSERT_EQ(cancelling.Steps.size(), std::size_t(cancelAt));
        // The points of the text up to the last step, and no others.
        const qint64 done = cancelling.Steps.back().first;
        EXPECT_LT(done, size);
        const auto lines = static_cast<int>(std::count(text.begin(), text.begin() + done, '\n'));
        EXPECT_EQ(Column(0), NumberedPoints(0, lines)) << "cancelled at step " << cancelAt;
    }
}
