// The "Excel File" tab: series from the columns of a worksheet, chosen by
// their letters.
#include "import/LoadDataForm.h"

#include "common/AccessibleNames.h"
#include "common/MessageBoxes.h"
#include "common/PlacedLabel.h"
#include "common/WaitCursor.h"
#include "import/ExcelLoad.h"
#include "spreadsheet/Workbook.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace {

// odgOpenExcelFile's filter.
const QString ExcelFileFilter = QStringLiteral("Excel Files (*.xls *.xlsx *.xlsm *.ods);;All Files (*)");

QStringList ColumnLetters()
{
    QStringList letters;
    for (int i = 0; i < ExcelLetterCount; ++i)
        letters.append(QString(QChar(u'A' + i)));
    return letters;
}

} // namespace

void TfrmLoadData::CreateExcelTab()
{
    TabSheet2 = new QWidget;
    PageControl->addTab(TabSheet2, QStringLiteral("Excel File"));
    sbnOpenExcelFile = TabButton(TabSheet2, QRect(32, 16, 320, 32), QStringLiteral("Select Excel File"));
    lblExcelFileName = PlacedLabel(TabSheet2, QPoint(32, 48), QString());
    Label6 = PlacedLabel(TabSheet2, QPoint(32, 88), QStringLiteral("Work Sheet"));
    cbxExcelWorkSheet = TabDropDownList(TabSheet2, QPoint(160, 85), 185);
    Label7 = PlacedLabel(TabSheet2, QPoint(32, 131), QStringLiteral("Time Column"));
    cbxTimeCell = TabDropDownList(TabSheet2, QPoint(160, 128), 185);
    Label8 = PlacedLabel(TabSheet2, QPoint(32, 174), QStringLiteral("Data Columns"));
    clbDataCells = new QListWidget(TabSheet2);
    clbDataCells->setGeometry(160, 174, 185, 133);
    NameByLabel(Label6, cbxExcelWorkSheet);
    NameByLabel(Label7, cbxTimeCell);
    NameByLabel(Label8, clbDataCells);
    sbnLoadExcelData = TabButton(TabSheet2, QRect(32, 336, 320, 32), QStringLiteral("Load Excel Data"));
    ConnectCommand(sbnOpenExcelFile, &TfrmLoadData::sbnOpenExcelFileClick);
    ConnectCommand(sbnLoadExcelData, &TfrmLoadData::sbnLoadExcelDataClick);
}

void TfrmLoadData::sbnOpenExcelFileClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QFileInfo(lblExcelFileName->text()).path(),
                                                          ExcelFileFilter);
    if (fileName.isEmpty())
        return;
    OpenExcelFile(fileName);
}

void TfrmLoadData::OpenExcelFile(const QString& fileName)
{
    lblExcelFileName->setText(fileName);
    lblExcelFileName->adjustSize();
    QStringList names;
    {
        WaitCursor wait;
        names = WorksheetNames(fileName);
    }
    cbxExcelWorkSheet->clear();
    cbxExcelWorkSheet->addItems(names);
    cbxExcelWorkSheet->setCurrentIndex(-1);
    FillChoices(cbxTimeCell, clbDataCells, ColumnLetters());
}

bool TfrmLoadData::CheckExcelInput()
{
    QString failure;
    if (lblExcelFileName->text().isEmpty())
        failure = QStringLiteral("The excel file is NOT selected.");
    else if (cbxExcelWorkSheet->currentIndex() < 0)
        failure = QStringLiteral("The worksheet is NOT selected.");
    else if (cbxTimeCell->currentIndex() < 0)
        failure = QStringLiteral("The time column is NOT selected.");
    else if (CheckedEntries(clbDataCells).isEmpty())
        failure = QStringLiteral("No one data column selected.");
    if (failure.isEmpty())
        return true;
    ShowWarningBox(failure);
    return false;
}

void TfrmLoadData::CreateExcelSeries()
{
    CreateImportSeries(CheckedEntries(clbDataCells));
}

void TfrmLoadData::sbnLoadExcelDataClick()
{
    if (!CheckExcelInput())
        return;
    CreateExcelSeries();
    const TLoadWindow window = Window();
    const QString fileName = lblExcelFileName->text();
    const int sheet = cbxExcelWorkSheet->currentIndex();
    const int timeColumn = cbxTimeCell->currentIndex() + 1;
    if (RunImport([&](TLoadProgress* progress) {
            LoadWorksheet(fileName, sheet, timeColumn, window, ImportedSeries(), progress);
        }))
        LoadSucceeded();
}
