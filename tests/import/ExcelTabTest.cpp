#include "tests/import/LoadDialogFixture.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/TestWorkbooks.h"

#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimeEdit>

namespace {

QStringList Items(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

QStringList Letters()
{
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters << QString(QChar(c));
    return letters;
}

class ExcelTab : public LoadDialog {
protected:
    void Select(TfrmLoadData& dialog, const QString& fileName) { PickFile(dialog.sbnOpenExcelFile, fileName); }
};

} // namespace

TEST_F(ExcelTab, StandsBeforeTheTextTabWithNothingChosen)
{
    const TfrmLoadData& dialog = *window->frmLoadData;
    const int index = dialog.PageControl->indexOf(dialog.TabSheet2);
    EXPECT_EQ(dialog.PageControl->tabText(index), "Excel File");
    EXPECT_EQ(dialog.PageControl->indexOf(dialog.TabSheet3), index + 1);
    EXPECT_EQ(dialog.sbnOpenExcelFile->text(), "Select Excel File");
    EXPECT_EQ(dialog.sbnLoadExcelData->text(), "Load Excel Data");
    for (const QPushButton* button : {dialog.sbnOpenExcelFile, dialog.sbnLoadExcelData}) {
        EXPECT_EQ(button->size(), QSize(320, 32));
        // Reached with Tab; a click leaves the focus where it was.
        EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
    }
    EXPECT_GT(dialog.sbnLoadExcelData->y(), dialog.clbDataCells->geometry().bottom());
    EXPECT_EQ(dialog.Label6->text(), "Work Sheet");
    EXPECT_EQ(dialog.Label7->text(), "Time Column");
    EXPECT_EQ(dialog.Label8->text(), "Data Columns");
    EXPECT_EQ(dialog.lblExcelFileName->text(), "");
    EXPECT_FALSE(dialog.cbxExcelWorkSheet->isEditable());
    EXPECT_FALSE(dialog.cbxTimeCell->isEditable());
    EXPECT_EQ(dialog.cbxExcelWorkSheet->count(), 0);
    EXPECT_EQ(dialog.cbxTimeCell->count(), 0);
    EXPECT_EQ(dialog.clbDataCells->count(), 0);
}

TEST_F(ExcelTab, SelectingListsTheWorksheetsAndLettersAndAFailedSelectKeepsThem)
{
    OpenVideo(10);
    const QString first = TestWorkbook("load.xlsx");
    const QString second = TestWorkbook("load.ods");
    const QString damaged = TestWorkbook("truncated.xlsx");
    RunDialog([&](TfrmLoadData& dialog) {
        Select(dialog, first);
        EXPECT_EQ(FileFilters, QStringList({"Excel Files (*.xls *.xlsx *.xlsm *.ods)", "All Files (*)"}));
        EXPECT_EQ(dialog.lblExcelFileName->text(), first);
        EXPECT_EQ(Entries(dialog.cbxExcelWorkSheet), QStringList({"Notes", QStringLiteral("Messwerte \u00c4"), "Leer"}));
        EXPECT_EQ(dialog.cbxExcelWorkSheet->currentIndex(), -1);
        EXPECT_EQ(Entries(dialog.cbxTimeCell), Letters());
        EXPECT_EQ(dialog.cbxTimeCell->currentIndex(), -1);
        EXPECT_EQ(Items(dialog.clbDataCells), Letters());
        EXPECT_TRUE(TickedEntries(dialog.clbDataCells).isEmpty());

        dialog.cbxExcelWorkSheet->setCurrentIndex(1);
        dialog.cbxTimeCell->setCurrentIndex(0);
        dialog.clbDataCells->item(3)->setCheckState(Qt::Checked);

        // Cancelling changes nothing.
        Select(dialog, QString());
        EXPECT_EQ(dialog.lblExcelFileName->text(), first);
        EXPECT_EQ(dialog.cbxExcelWorkSheet->currentIndex(), 1);
        EXPECT_EQ(dialog.cbxTimeCell->currentText(), "A");
        EXPECT_EQ(TickedEntries(dialog.clbDataCells), QStringList({"D"}));

        // A workbook that cannot be read: its path shows, its error too, and
        // the lists stay as they were.
        {
            ModalBoxCatcher boxes;
            Select(dialog, damaged);
            ASSERT_EQ(boxes.Boxes().size(), 1);
            EXPECT_EQ(boxes.Boxes().at(0).Title, "Error");
            EXPECT_TRUE(boxes.Boxes().at(0).Text.startsWith("Cannot read the workbook \"" + damaged + "\". "))
                << boxes.Boxes().at(0).Text.toStdString();
        }
        EXPECT_EQ(dialog.lblExcelFileName->text(), damaged);
        EXPECT_EQ(dialog.cbxExcelWorkSheet->currentText(), QStringLiteral("Messwerte \u00c4"));
        EXPECT_EQ(dialog.cbxTimeCell->currentText(), "A");
        EXPECT_EQ(TickedEntries(dialog.clbDataCells), QStringList({"D"}));

        // Another workbook clears the choices, and its list starts at its top
        // however far the previous one was scrolled.
        dialog.PageControl->setCurrentWidget(dialog.TabSheet2);
        QScrollBar* scroll = dialog.clbDataCells->verticalScrollBar();
        QCoreApplication::processEvents();
        ASSERT_GT(scroll->maximum(), 0);
        scroll->setValue(scroll->maximum());
        Select(dialog, second);
        QCoreApplication::processEvents();
        EXPECT_EQ(scroll->value(), 0);
        EXPECT_EQ(dialog.lblExcelFileName->text(), second);
        EXPECT_EQ(dialog.cbxExcelWorkSheet->count(), 3);
        EXPECT_EQ(dialog.cbxExcelWorkSheet->currentIndex(), -1);
        EXPECT_EQ(dialog.cbxTimeCell->currentIndex(), -1);
        EXPECT_TRUE(TickedEntries(dialog.clbDataCells).isEmpty());
    });
    EXPECT_EQ(Chart().SeriesCount(), 1);
}

TEST_F(ExcelTab, WarnsOfTheMissingInputsInOrderAndCreatesNothing)
{
    OpenVideo(10);
    ModalBoxCatcher boxes;
    const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
        dialog.sbnLoadExcelData->click();
        dialog.OpenExcelFile(TestWorkbook("load.xlsx"));
        dialog.sbnLoadExcelData->click();
        dialog.cbxExcelWorkSheet->setCurrentIndex(0);
        dialog.sbnLoadExcelData->click();
        dialog.cbxTimeCell->setCurrentIndex(0);
        dialog.sbnLoadExcelData->click();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(boxes.Texts(), QStringList({"The excel file is NOT selected.", "The worksheet is NOT selected.",
                                          "The time column is NOT selected.", "No one data column selected."}));
    for (const ModalBoxCatcher::TBox& box : boxes.Boxes())
        EXPECT_EQ(box.Title, "Warning");
    EXPECT_EQ(Chart().SeriesCount(), 1);
}

TEST_F(ExcelTab, LoadsTheTickedLettersAndClosesWithOK)
{
    OpenVideo(10);
    ModalBoxCatcher boxes;
    const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
        dialog.dtpTime->setTime(QTime(8, 0));
        dialog.OpenExcelFile(TestWorkbook("load.xlsx"));
        dialog.cbxExcelWorkSheet->setCurrentIndex(1);
        dialog.cbxTimeCell->setCurrentText("A");
        dialog.clbDataCells->item(3)->setCheckState(Qt::Checked);
        dialog.clbDataCells->item(1)->setCheckState(Qt::Checked);
        dialog.sbnLoadExcelData->click();
    });
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
    ASSERT_EQ(Chart().SeriesCount(), 3);
    // Titled with their letters, in the order of the letters.
    EXPECT_EQ(Data(1)->Title(), "B");
    EXPECT_EQ(Data(2)->Title(), "D");
    EXPECT_EQ(Data(1)->Tag(), 1);
    EXPECT_EQ(Data(2)->Tag(), 3);
    EXPECT_EQ(Data(1)->Count(), 3);
    EXPECT_EQ(Data(2)->Count(), 3);
    EXPECT_NEAR(Data(2)->XValue(2), At(8, 0, 10), 1e-9);
    EXPECT_EQ(Data(2)->YValue(2), 40);
    EXPECT_EQ(window->StartTime, At(8, 0));
    EXPECT_TRUE(window->lvwLegend->isVisible());
}

TEST_F(ExcelTab, AWorkbookDamagedAfterItsSelectionStopsTheLoadWithTheDialogOpen)
{
    OpenVideo(10);
    ModalBoxCatcher boxes;
    const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
        dialog.OpenExcelFile(TestWorkbook("corrupt.xlsx"));
        dialog.cbxExcelWorkSheet->setCurrentIndex(1);
        dialog.cbxTimeCell->setCurrentIndex(0);
        dialog.clbDataCells->item(1)->setCheckState(Qt::Checked);
        dialog.sbnLoadExcelData->click();
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes().at(0).Title, "Error");
    EXPECT_TRUE(boxes.Boxes().at(0).Text.contains("corrupt.xlsx")) << boxes.Boxes().at(0).Text.toStdString();
    // The series created before the workbook was read stay, empty, and are in
    // the legend; the start time stays.
    ASSERT_EQ(Chart().SeriesCount(), 2);
    EXPECT_EQ(Data(1)->Count(), 0);
    EXPECT_EQ(window->StartTime, 0);
    EXPECT_EQ(window->lvwLegend->count(), 1);
}

TEST_F(ExcelTab, CancellingALongLoadLeavesTheChartAsItWas)
{
    const QString fileName = TestWorkbook("large.xlsx");
    ExpectCancelLeavesTheChart(
        [&](TfrmLoadData& dialog) {
            SetStart(dialog, QTime(7, 0));
            dialog.OpenExcelFile(fileName);
            dialog.cbxExcelWorkSheet->setCurrentIndex(0);
            dialog.cbxTimeCell->setCurrentText("A");
            dialog.clbDataCells->item(1)->setCheckState(Qt::Checked);
            dialog.clbDataCells->item(2)->setCheckState(Qt::Checked);
        },
        &TfrmLoadData::sbnLoadExcelData);
}
