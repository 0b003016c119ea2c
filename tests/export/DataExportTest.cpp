#include "export/DataExport.h"

#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "common/Exception.h"
#include "import/TextImport.h"
#include "tests/export/ExportFaults.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

const TDateTime Day = EncodeDate(QDate(2024, 3, 5));

TDateTime At(int ms)
{
    return Day + static_cast<double>(ms) / static_cast<double>(MSecsPerDay);
}

class DataExport : public testing::Test {
protected:
    DataExport()
    {
        mChart.AddSeries(std::make_unique<TChartShape>());
        // Seven o'clock and on; "speed" has two samples at 07:00:01.000.
        TFastLineSeries* speed = AddChartSeries(mChart, "speed");
        for (const auto& [ms, value] : std::vector<std::pair<int, double>>{
                 {25199999, -1}, {25200000, 1.5}, {25201000, 0.1}, {25201000, 2.25}, {25203500, 1e-7}, {25210000, 9}})
            speed->AddXY(At(ms), value);
        TFastLineSeries* hidden = AddChartSeries(mChart, "hidden");
        hidden->AddXY(At(25201000), 42);
        hidden->SetActive(false);
        TFastLineSeries* depth = AddChartSeries(mChart, "depth, m");
        for (const auto& [ms, value] : std::vector<std::pair<int, double>>{
                 {25200500, 20}, {25201000, -3.125}, {25205000, 1234567.890625}})
            depth->AddXY(At(ms), value);
    }

    QString Export(const QLocale& locale, TLoadProgress* progress = nullptr)
    {
        ExportChartData(mChart, From, To, locale, FileName, progress);
        return FileName;
    }

    QByteArray Content() const
    {
        QFile file(FileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

    QTemporaryDir mFolder;
    const QString FileName = mFolder.filePath(QStringLiteral("view.csv"));
    const TDateTime From = At(25200000);
    const TDateTime To = At(25205000);
    TChart mChart;
};

TEST_F(DataExport, WritesALinePerDistinctTimeWithEmptyFieldsWhereASeriesHasNoSample)
{
    Export(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(Content(), QByteArray("Time,speed,\"depth, m\"\n"
                                    "03/05/2024/07:00:00.000,1.5,\n"
                                    "03/05/2024/07:00:00.500,,20\n"
                                    "03/05/2024/07:00:01.000,0.1,-3.125\n"
                                    "03/05/2024/07:00:01.000,2.25,\n"
                                    "03/05/2024/07:00:03.500,1e-07,\n"
                                    "03/05/2024/07:00:05.000,,1234567.890625\n"));
}

// The text import, with the same regional settings, gives back the points of
// the visible series within the span. Where the decimal separator is a comma
// the fields are separated by tabs, and the import takes runs of blanks for
// one separator: only lines without empty fields read back there, so those
// locales are tried with one series.
TEST_F(DataExport, TheTextImportReadsBackTheSamePoints)
{
    for (const char* name : {"en_US", "en_GB", "ja_JP", "de_DE", "fr_FR"}) {
        SCOPED_TRACE(name);
        const bool oneSeries = ExportDelimiter(QLocale(QString::fromLatin1(name))) == '\t';
        mChart.LineSeries(3)->SetActive(!oneSeries);
        const QLocale locale{QString::fromLatin1(name)};
        Export(locale);
        TTextImportOptions options;
        options.Delimiter = ExportDelimiter(locale);
        options.TimeField = 1;
        options.DataFields = oneSeries ? std::vector<int>{2} : std::vector<int>{2, 3};
        options.Window = {Day, Day + 1};
        std::vector<std::vector<TChartPoint>> columns;
        ImportTextFile(FileName, options, TTextLocale(locale), columns);
        ASSERT_EQ(columns.size(), options.DataFields.size());
        for (int s = 0; s < static_cast<int>(columns.size()); ++s) {
            const TFastLineSeries& series = *mChart.LineSeries(s == 0 ? 1 : 3);
            std::vector<TChartPoint> expected;
            for (int i = 0; i < series.Count(); ++i) {
                if (series.XValue(i) >= From && series.XValue(i) <= To)
                    expected.push_back({series.XValue(i), series.YValue(i)});
            }
            const std::vector<TChartPoint>& got = columns[static_cast<std::size_t>(s)];
            ASSERT_EQ(got.size(), expected.size());
            for (std::size_t i = 0; i < got.size(); ++i) {
                EXPECT_NEAR(got[i].X, expected[i].X, 0.0001 / SecondsPerDay);
                EXPECT_EQ(got[i].Y, expected[i].Y);
            }
        }
    }
}

// A failure half way or a cancel leaves no file under the name and the file
// that was there untouched.
TEST_F(DataExport, AFailureOrACancelKeepsTheFileThatWasThere)
{
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "write failure");
        {
            QFile old(FileName);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old content");
        }
        // Filling a large view past a file size limit: the write fails as on
        // a full disk.
        TFastLineSeries* many = AddChartSeries(mChart, "many");
        std::vector<TChartPoint> points;
        for (int i = 0; i < 200000; ++i)
            points.push_back({At(25200000 + i / 40), static_cast<double>(i)});
        many->AddPoints(points.data(), points.size());
        if (cancel) {
            TCancelAtFirstStep progress;
            EXPECT_THROW(Export(QLocale(QStringLiteral("en_US")), &progress), LoadCancelled);
        } else {
            const QString message =
                MessageUnderFileSizeLimit(64 * 1024, [&] { Export(QLocale(QStringLiteral("en_US"))); });
            EXPECT_EQ(message, QStringLiteral("Cannot create file \"%1\". File too large").arg(FileName));
        }
        mChart.FreeSeries(mChart.SeriesCount() - 1);
        EXPECT_EQ(Content(), QByteArray("old content"));
        EXPECT_EQ(QDir(mFolder.path()).entryList(QDir::Files), QStringList{QStringLiteral("view.csv")});
    }
}

} // namespace
