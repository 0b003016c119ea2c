#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "import/CheckedDateEdit.h"
#include "import/LoadDataForm.h"
#include "tests/import/LoadDialogFixture.h"
#include "tests/support/ModalBoxCatcher.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimeEdit>

#include <utility>
#include <vector>

namespace {

// A time of day as the import reads it from text.
TDateTime T(int h, int m, int s, int ms = 0)
{
    return EncodeTime(QTime(h, m, s, ms));
}

// The choices of the tab, as the user makes them.
struct TTextChoice {
    QString FileName;
    QString Delimiter;
    int TimeField;
    std::vector<int> DataFields;
};

void Choose(TfrmLoadData& dialog, const TTextChoice& choice)
{
    dialog.OpenTextFile(choice.FileName);
    dialog.cbxFieldsDelimiter->setCurrentText(choice.Delimiter);
    dialog.cbxTextTimeFiled->setCurrentText(QString::number(choice.TimeField));
    for (int field : choice.DataFields)
        dialog.clbTextDataFields->item(field - 1)->setCheckState(Qt::Checked);
}

class TextTab : public LoadDialog {
protected:
    QString WriteFile(const QByteArray& content, const QString& name = QStringLiteral("data.csv"))
    {
        const QString fileName = mFolder.filePath(name);
        QFile file(fileName);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return fileName;
    }

    // Sets the start and the choices, then presses "Load Text Data".
    bool Load(const QTime& start, const TTextChoice& choice, const QDate& date = QDate())
    {
        return RunDialog([&](TfrmLoadData& dialog) {
            SetStart(dialog, start, date);
            Choose(dialog, choice);
            dialog.sbnLoadTextData->click();
        });
    }

    QTemporaryDir mFolder;
};

} // namespace

TEST_F(TextTab, StartsWithNothingChosenBeforeTheTestDataTab)
{
    const TfrmLoadData& dialog = *window->frmLoadData;
    const int index = dialog.PageControl->indexOf(dialog.TabSheet3);
    EXPECT_EQ(dialog.PageControl->tabText(index), "Text/CSV File");
    EXPECT_EQ(dialog.PageControl->indexOf(dialog.TabSheet4), index + 1);
    EXPECT_EQ(dialog.sbnOpenTextFile->text(), "Select Text File");
    EXPECT_EQ(dialog.sbnLoadTextData->text(), "Load Text Data");
    EXPECT_EQ(dialog.Label5->text(), "Fileds Delimiter");
    EXPECT_EQ(dialog.Label9->text(), "Time Field Number");
    EXPECT_EQ(dialog.Label10->text(), "Data Fields Nubmers");
    EXPECT_EQ(dialog.lblTextFileName->text(), "");
    EXPECT_EQ(Entries(dialog.cbxFieldsDelimiter), QStringList({"TAB", "SPACE", "COMMA"}));
    EXPECT_EQ(dialog.cbxFieldsDelimiter->currentText(), "TAB");
    EXPECT_FALSE(dialog.cbxFieldsDelimiter->isEditable());
    EXPECT_EQ(dialog.cbxTextTimeFiled->count(), 0);
    EXPECT_EQ(dialog.clbTextDataFields->count(), 0);
    EXPECT_EQ(dialog.sbnLoadTextData->focusPolicy(), Qt::TabFocus);
}

TEST_F(TextTab, WarnsOfTheMissingInputsInOrderAndCreatesNothing)
{
    OpenVideo(10);
    const QString fileName = WriteFile("08:00:01,1\n");
    ModalBoxCatcher boxes;
    const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
        dialog.sbnLoadTextData->click();
        dialog.OpenTextFile(fileName);
        dialog.sbnLoadTextData->click();
        dialog.cbxTextTimeFiled->setCurrentIndex(0);
        dialog.sbnLoadTextData->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(boxes.Texts(), QStringList({"The text file is NOT selected.", "The time field is NOT selected.",
                                          "No one data field selected."}));
    for (const ModalBoxCatcher::TBox& box : boxes.Boxes())
        EXPECT_EQ(box.Title, "Warning");
    EXPECT_EQ(Chart().SeriesCount(), 1);
}

TEST_F(TextTab, LoadsTheTickedFieldsOfTheLinesInTheWindowWithBothEnds)
{
    // From 08:00:00 a video of 10 s ends at a value that a time read as
    // "08:00:10" misses in the last bit; the line still belongs in.
    OpenVideo(10);
    const QString fileName = WriteFile(
        "Time,Speed,Note,Temp\r\n"
        "07:59:59,9,a,9\r\n"
        "08:00:00,1,a,10\r\n"
        "08:00:05, 2 ,b,x\r\n"
        "08:00:06,,c,30\r\n"
        "08:00:10,4,d,40\r\n"
        "08:00:11,5,e,50\r\n");
    ModalBoxCatcher boxes;
    EXPECT_FALSE(Load(QTime(8, 0), {fileName, "COMMA", 1, {2, 4}}));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();

    ASSERT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(Data(1)->Title(), "2");
    EXPECT_EQ(Data(2)->Title(), "4");
    EXPECT_EQ(Data(1)->Tag(), 1);
    EXPECT_EQ(Data(2)->Tag(), 3);
    EXPECT_EQ(PointsOf(Data(1)), Points({{T(8, 0, 0), 1}, {T(8, 0, 5), 2}, {T(8, 0, 10), 4}}));
    EXPECT_EQ(PointsOf(Data(2)), Points({{T(8, 0, 0), 10}, {T(8, 0, 6), 30}, {T(8, 0, 10), 40}}));

    // The main window takes the start and shows the legend for two series.
    EXPECT_EQ(window->StartTime, T(8, 0, 0));
    EXPECT_EQ(window->DefaultAxisMin, T(8, 0, 0));
    EXPECT_NEAR(window->DefaultAxisMax, T(8, 0, 10), 1e-12);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_EQ(Axis().Maximum(), window->DefaultAxisMax);
    EXPECT_TRUE(window->lvwLegend->isVisible());
    EXPECT_EQ(LegendTexts(window->lvwLegend), QStringList({"2", "4"}));
}

TEST_F(TextTab, ATimeOfMidnightExactlyIsSkipped)
{
    OpenVideo(60);
    const QString fileName = WriteFile("00:00:00\t1\n00:00:30\t2\n");
    EXPECT_FALSE(Load(QTime(0, 0), {fileName, "TAB", 1, {2}}));
    ASSERT_EQ(Chart().SeriesCount(), 2);
    EXPECT_EQ(PointsOf(Data(1)), Points({{T(0, 0, 30), 2}}));
    // One series: no legend.
    EXPECT_FALSE(window->lvwLegend->isVisible());
}

TEST_F(TextTab, WithTheDateTickedTimesAloneGiveEmptySeriesAndTheDialogCloses)
{
    OpenVideo(10);
    const QString fileName = WriteFile("08:00:01 1 2\n08:00:02 3 4\n");
    EXPECT_FALSE(Load(QTime(8, 0), {fileName, "SPACE", 1, {2, 3}}, QDate(2024, 3, 1)));
    ASSERT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(Data(1)->Count(), 0);
    EXPECT_EQ(Data(2)->Count(), 0);
    EXPECT_EQ(window->StartTime, EncodeDate(QDate(2024, 3, 1)) + T(8, 0, 0));
}

TEST_F(TextTab, AnErrorStopsTheLoadKeepsThePointsSoFarAndTheDialogOpen)
{
    struct Case {
        const char* Name;
        QByteArray Content; // empty: the file is deleted after it was picked
        std::vector<int> DataFields;
        QString Message;
        std::vector<Points> Expected;
    };
    const QString deleted = mFolder.filePath(QStringLiteral("deleted.csv"));
    const std::vector<Case> cases = {
        {"a kept line lacks a ticked field",
         "08:00:01,1,10\n08:00:02,2,20\n08:00:03,3\n08:00:04,4,40\n",
         {2, 3},
         "List index out of bounds (2)",
         {{{T(8, 0, 1), 1}, {T(8, 0, 2), 2}, {T(8, 0, 3), 3}}, {{T(8, 0, 1), 10}, {T(8, 0, 2), 20}}}},
        {"two line ends at the end",
         "08:00:01,1\r\n08:00:02,2\r\n\r\n",
         {2},
         "List index out of bounds (0)",
         {{{T(8, 0, 1), 1}, {T(8, 0, 2), 2}}}},
        {"the file is gone", {}, {2}, "Cannot open file \"" + deleted + "\". No such file or directory", {{}}},
    };
    OpenVideo(10);
    for (const Case& test : cases) {
        SCOPED_TRACE(test.Name);
        const QString fileName = test.Content.isEmpty() ? deleted : WriteFile(test.Content);
        const int before = Chart().SeriesCount();
        ModalBoxCatcher boxes;
        const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
            SetStart(dialog, QTime(8, 0));
            Choose(dialog, {fileName, "COMMA", 1, test.DataFields});
            QFile::remove(deleted);
            dialog.sbnLoadTextData->click();
        });
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes().at(0).Title, "Error");
        EXPECT_EQ(boxes.Boxes().at(0).Text, test.Message);
        ASSERT_EQ(Chart().SeriesCount(), before + static_cast<int>(test.Expected.size()));
        for (std::size_t k = 0; k < test.Expected.size(); ++k)
            EXPECT_EQ(PointsOf(Data(before + static_cast<int>(k))), test.Expected[k]) << "series " << k;
        // The dialog did not close with OK: the start time stays, but every
        // series the load made is in the legend and can be deleted there.
        EXPECT_EQ(window->StartTime, 0);
        EXPECT_EQ(window->lvwLegend->count(), Chart().SeriesCount() - 1);
        EXPECT_TRUE(window->sbnSaveData->isEnabled());
    }
}

TEST_F(TextTab, ReopeningKeepsTheChoicesAndLoadsTheSameFieldsAgain)
{
    OpenVideo(10);
    const QString fileName = WriteFile("08:00:01;x\t1\n");
    EXPECT_FALSE(Load(QTime(8, 0), {fileName, "TAB", 1, {2}}));
    EXPECT_FALSE(window->lvwLegend->isVisible());

    const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
        EXPECT_EQ(dialog.lblTextFileName->text(), fileName);
        EXPECT_EQ(dialog.cbxFieldsDelimiter->currentText(), "TAB");
        EXPECT_EQ(dialog.cbxTextTimeFiled->currentText(), "1");
        EXPECT_EQ(TickedEntries(dialog.clbTextDataFields), QStringList({"2"}));
        dialog.sbnLoadTextData->click();
    });
    EXPECT_FALSE(stayedOpen);
    // "08:00:01;x" is no time: nothing but the new, empty series.
    ASSERT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(Data(2)->Title(), "2");
    EXPECT_TRUE(window->lvwLegend->isVisible());
    EXPECT_EQ(LegendTexts(window->lvwLegend), QStringList({"2", "2"}));
}

TEST_F(TextTab, PickingAFileResetsTheFieldChoicesAndCancellingKeepsThem)
{
    OpenVideo(10);
    const QString first = WriteFile("", QStringLiteral("first.txt"));
    const QString second = WriteFile("", QStringLiteral("second.csv"));
    RunDialog([&](TfrmLoadData& dialog) {
        PickFile(dialog.sbnOpenTextFile, first);
        EXPECT_EQ(FileFilters, QStringList({"Text & CSV Files (*.txt *csv)", "All Files (*)"}));
        EXPECT_EQ(dialog.lblTextFileName->text(), first);
        dialog.cbxFieldsDelimiter->setCurrentText("COMMA");
        dialog.cbxTextTimeFiled->setCurrentIndex(2);
        dialog.clbTextDataFields->item(4)->setCheckState(Qt::Checked);

        PickFile(dialog.sbnOpenTextFile, QString());
        EXPECT_EQ(dialog.lblTextFileName->text(), first);
        EXPECT_EQ(dialog.cbxTextTimeFiled->currentText(), "3");
        EXPECT_EQ(TickedEntries(dialog.clbTextDataFields), QStringList({"5"}));

        PickFile(dialog.sbnOpenTextFile, second);
        EXPECT_EQ(dialog.lblTextFileName->text(), second);
        EXPECT_EQ(dialog.cbxFieldsDelimiter->currentText(), "COMMA");
        EXPECT_EQ(dialog.cbxTextTimeFiled->currentIndex(), -1);
        EXPECT_EQ(dialog.cbxTextTimeFiled->count(), 25);
        EXPECT_EQ(dialog.clbTextDataFields->count(), 25);
        EXPECT_EQ(dialog.clbTextDataFields->item(24)->text(), "25");
        EXPECT_TRUE(TickedEntries(dialog.clbTextDataFields).isEmpty());
    });
}

TEST_F(TextTab, ReadsTimesAndDecimalCommasByTheRegionalSettings)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    OpenVideo(10);
    const QString fileName = WriteFile(
        "08:00:01,5\t1,5\t-2,25e1\n"
        "08:00:02\t1.5\t3\n");
    EXPECT_FALSE(Load(QTime(8, 0), {fileName, "TAB", 1, {2, 3}}));
    ASSERT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(PointsOf(Data(1)), Points({{T(8, 0, 1, 500), 1.5}}));
    EXPECT_EQ(PointsOf(Data(2)), Points({{T(8, 0, 1, 500), -22.5}, {T(8, 0, 2), 3}}));
}

TEST_F(TextTab, CancellingALongLoadLeavesTheChartAsItWas)
{
    // Some 200 MB: far more than half a second of reading, so that the
    // dialog shows as soon as it can tell.
    const QString fileName = mFolder.filePath(QStringLiteral("large.csv"));
    {
        QByteArray block;
        for (int i = 0; i < 65536; ++i)
            block += "07:30:00.000,1.5,2\n";
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 160; ++i)
            ASSERT_EQ(file.write(block), block.size());
    }
    ExpectCancelLeavesTheChart(
        [&](TfrmLoadData& dialog) {
            SetStart(dialog, QTime(7, 0));
            Choose(dialog, {fileName, "COMMA", 1, {2, 3}});
        },
        &TfrmLoadData::sbnLoadTextData);
}

TEST_F(TextTab, AShortLoadShowsNoProgress)
{
    OpenVideo(10);
    const QString fileName = WriteFile("07:00:01,1\n07:00:02,2\n");
    ProgressWatcher watcher;
    EXPECT_FALSE(Load(QTime(7, 0), {fileName, "COMMA", 1, {2}}));
    EXPECT_EQ(watcher.Shown, 0);
    ASSERT_EQ(Chart().SeriesCount(), 2);
    EXPECT_EQ(Chart().LineSeries(1)->Count(), 2);
}
