// The "Text/CSV File" tab: series from the fields of a delimited text file,
// chosen by their numbers.
#include "import/LoadDataForm.h"

#include "chart/Chart.h"
#include "common/AccessibleNames.h"
#include "common/MessageBoxes.h"
#include "common/PlacedLabel.h"
#include "common/RecentFolders.h"
#include "import/TextFields.h"
#include "import/TextLoad.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

namespace {

// The fields a user can choose, whatever the file holds.
constexpr int TextFieldCount = 25;

// The key under which the text file dialog keeps its folder.
const QString TextFolderKey = QStringLiteral("TextFile");

// odlgTextFile's filter.
const QString TextFileFilter = QStringLiteral("Text & CSV Files (*.txt *csv);;All Files (*)");

} // namespace

void TfrmLoadData::CreateTextTab()
{
    TabSheet3 = new QWidget;
    PageControl->addTab(TabSheet3, QStringLiteral("Text/CSV File"));
    sbnOpenTextFile = TabButton(TabSheet3, QRect(32, 16, 320, 32), QStringLiteral("Select Text File"));
    lblTextFileName = PlacedLabel(TabSheet3, QPoint(32, 48), QString());
    Label5 = PlacedLabel(TabSheet3, QPoint(32, 88), QStringLiteral("Fileds Delimiter"));
    cbxFieldsDelimiter = TabDropDownList(TabSheet3, QPoint(160, 85), 185);
    for (const TTextDelimiter& delimiter : TextDelimiters)
        cbxFieldsDelimiter->addItem(QString::fromLatin1(delimiter.Name), QChar::fromLatin1(delimiter.Character));
    cbxFieldsDelimiter->setCurrentIndex(0);
    Label9 = PlacedLabel(TabSheet3, QPoint(32, 131), QStringLiteral("Time Field Number"));
    cbxTextTimeFiled = TabDropDownList(TabSheet3, QPoint(160, 128), 185);
    Label10 = PlacedLabel(TabSheet3, QPoint(32, 174), QStringLiteral("Data Fields Nubmers"));
    clbTextDataFields = new QListWidget(TabSheet3);
    clbTextDataFields->setGeometry(160, 174, 185, 133);
    NameByLabel(Label5, cbxFieldsDelimiter);
    NameByLabel(Label9, cbxTextTimeFiled);
    NameByLabel(Label10, clbTextDataFields);
    sbnLoadTextData = TabButton(TabSheet3, QRect(32, 336, 320, 32), QStringLiteral("Load Text Data"));
    ConnectCommand(sbnOpenTextFile, &TfrmLoadData::sbnOpenTextFileClick);
    ConnectCommand(sbnLoadTextData, &TfrmLoadData::sbnLoadTextDataClick);
}

void TfrmLoadData::sbnOpenTextFileClick()
{
    const QString fileName =
        QFileDialog::getOpenFileName(this, QString(), RecentFolder(TextFolderKey), TextFileFilter);
    if (fileName.isEmpty())
        return;
    RememberFolder(TextFolderKey, fileName);
    OpenTextFile(fileName);
}

void TfrmLoadData::OpenTextFile(const QString& fileName)
{
    lblTextFileName->setText(fileName);
    lblTextFileName->adjustSize();
    QStringList numbers;
    for (int number = 1; number <= TextFieldCount; ++number)
        numbers.append(QString::number(number));
    FillChoices(cbxTextTimeFiled, clbTextDataFields, numbers);
}

bool TfrmLoadData::CheckTextInput()
{
    QString failure;
    if (lblTextFileName->text().isEmpty())
        failure = QStringLiteral("The text file is NOT selected.");
    else if (cbxTextTimeFiled->currentIndex() < 0)
        failure = QStringLiteral("The time field is NOT selected.");
    else if (CheckedEntries(clbTextDataFields).isEmpty())
        failure = QStringLiteral("No one data field selected.");
    if (failure.isEmpty())
        return true;
    ShowWarningBox(failure);
    return false;
}

void TfrmLoadData::CreateTextSeries()
{
    CreateImportSeries(CheckedEntries(clbTextDataFields));
}

void TfrmLoadData::sbnLoadTextDataClick()
{
    if (!CheckTextInput())
        return;
    CreateTextSeries();
    const TLoadWindow window = Window();
    const char delimiter = cbxFieldsDelimiter->currentData().toChar().toLatin1();
    const int timeField = cbxTextTimeFiled->currentIndex() + 1;
    const QString fileName = lblTextFileName->text();
    if (RunImport([&](TLoadProgress* progress) {
            LoadTextFile(fileName, delimiter, timeField, window, TTextLocale(QLocale()), ImportedSeries(), progress);
        }))
        LoadSucceeded();
}
