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

