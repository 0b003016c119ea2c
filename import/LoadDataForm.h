#pragma once

#include "common/LoadProgress.h"
#include "import/LoadDataHost.h"
#include "import/LoadWindow.h"
#include "import/TestData.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>
#include <vector>
#include <functional>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTimeEdit;
class QTreeView;
class TCheckedDateEdit;
class TDatabase;
class TFastLineSeries;
class TLoggerFile;
class TLoggerTreeModel;
struct TLoggerTime;

// The "Load Chart Data" dialog: the start translation time and one tab per
// source of chart data. It lives as long as the main window and keeps what
// the user set between openings.
class TfrmLoadData : public QDialog {
    Q_OBJECT

public:
    explicit TfrmLoadData(TLoadDataHost& host);
    ~TfrmLoadData() override;

    // Shows the dialog under the main window's top panel; true when a source
    // loaded data.
    bool RunLoadDataDialog();
    bool IsDateChecked() const;
    // The start translation time from the pickers.
    TDateTime StartTime() const;
    // The span a load keeps, from the pickers and the video's length.
    TLoadWindow Window() const;

    // The series of the import under way, with the source field of each.
    struct TImportEntry {
        QString Field;
        TFastLineSeries* Series;
    };
    QList<TImportEntry> ImportSeries;

    QLabel* Label1 = nullptr;
    TCheckedDateEdit* dtpDate = nullptr;
    QTimeEdit* dtpTime = nullptr;
    QTabWidget* PageControl = nullptr;

    // The "Database" tab.
    QWidget* TabSheet1 = nullptr;
    QPushButton* sbnConnectDatabase = nullptr;
    QPushButton* sbnDisconnectDatabase = nullptr;
    QLabel* lblDatabaseConnectionStatus = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cbxTables = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cbxTimeField = nullptr;
    QLabel* Label4 = nullptr;
    QListWidget* clbDataFields = nullptr;
    QPushButton* sbnLoadDatabaseData = nullptr;
    // The open database, or none; it stays open between runs of the dialog.
    std::unique_ptr<TDatabase> ADOConnection;

    void sbnConnectDatabaseClick();
    void sbnDisconnectDatabaseClick();
    // Connects by a connection string as "Connect Database" does once its
    // dialog has built one: the open connection is closed first.
    void ConnectDatabaseString(const QString& connectionString);
    void cbxTablesChange();
    bool CheckDatabaseInput();
    void CreateDatabaseSeries();
    void sbnLoadDatabaseDataClick();
    void ADOConnectionBeforeConnect();
    // The outcome of a connect: the error's description when it failed.
    void ADOConnectionConnectComplete(bool connected, const QString& error);
    void ADOConnectionAfterDisconnect();
    // The "Excel File" tab.
    QWidget* TabSheet2 = nullptr;
    QPushButton* sbnOpenExcelFile = nullptr;
    QLabel* lblExcelFileName = nullptr;
    QLabel* Label6 = nullptr;
    QComboBox* cbxExcelWorkSheet = nullptr;
    QLabel* Label7 = nullptr;
    QComboBox* cbxTimeCell = nullptr;
    QLabel* Label8 = nullptr;
    QListWidget* clbDataCells = nullptr;
    QPushButton* sbnLoadExcelData = nullptr;

    void sbnOpenExcelFileClick();
    // Selects a workbook as the file dialog does: the path is shown at once;
    // then its worksheets are listed with none selected and the letter lists
    // filled anew with nothing chosen. A workbook that cannot be read leaves
    // the lists as they were.
    void OpenExcelFile(const QString& fileName);
    bool CheckExcelInput();
    void CreateExcelSeries();
    void sbnLoadExcelDataClick();

    // The "Text/CSV File" tab.
    QWidget* TabSheet3 = nullptr;
    QPushButton* sbnOpenTextFile = nullptr;
    QLabel* lblTextFileName = nullptr;
    QLabel* Label5 = nullptr;
    QComboBox* cbxFieldsDelimiter = nullptr;
    QLabel* Label9 = nullptr;
    QComboBox* cbxTextTimeFiled = nullptr;
    QLabel* Label10 = nullptr;
    QListWidget* clbTextDataFields = nullptr;
    QPushButton* sbnLoadTextData = nullptr;

    void sbnOpenTextFileClick();
    // Selects a text file as the file dialog does: the path, and the field
    // lists filled anew with nothing chosen.
    void OpenTextFile(const QString& fileName);
    // Shows the first failing input check of the tab; true when all pass.
    bool CheckTextInput();
    void CreateTextSeries();
    void sbnLoadTextDataClick();

    // The "Test Data" tab.
    QWidget* TabSheet4 = nullptr;
    QPushButton* sbnLoadTestData3 = nullptr;
    QPushButton* sbnLoadTestData2 = nullptr;

    void sbnLoadTestData3Click();
    void sbnLoadTestData2Click();

    // The "Logger File" tab.
    QWidget* TabSheet5 = nullptr;
    QPushButton* sbnOpenLoggerFile = nullptr;
    QLabel* lblLoggerFileName = nullptr;
    QLineEdit* edtLoggerFilter = nullptr;
    QTreeView* tvwLoggerChannels = nullptr;
    TLoggerTreeModel* LoggerChannels = nullptr;
    QLabel* lblLoggerTime = nullptr;
    QComboBox* cbxLoggerTime = nullptr;
    QLabel* lblLoggerTimeUnit = nullptr;
    QComboBox* cbxLoggerTimeUnit = nullptr;
    QLabel* lblLoggerZero = nullptr;
    QDateTimeEdit* dtpLoggerZero = nullptr;
    QListWidget* lstLoggerSpans = nullptr;
    QPushButton* sbnLoadLoggerData = nullptr;
    // The open logger file, or none; it stays open between runs of the dialog.
    std::unique_ptr<TLoggerFile> LoggerFile;

    void sbnOpenLoggerFileClick();
    // Selects a logger file as the file dialog does: its channel tree with
    // none ticked; a file that cannot be read leaves the tab as it was.
    void OpenLoggerFile(const QString& fileName);
    // Shows the dialog on this tab with the file selected.
    bool RunLoggerFileDialog(const QString& fileName);
    bool CheckLoggerInput();
    void sbnLoadLoggerDataClick();
    // The time the tab's choices give the channels.
    TLoggerTime LoggerTime() const;
    // Shows each ticked channel's first and last time.
    void ShowLoggerSpans();

protected:
    // One series per chosen field, in order, added to the chart at once; the
    // tag of each is its entry's index in the source's list.
    struct TFieldChoice {
        QString Field;
        int Index;
    };
    void CreateImportSeries(const QList<TFieldChoice>& fields);
    // Runs a load into the series of ImportSeries with the wait cursor and a
    // progress dialog. A load that the user cancels takes those series off the
    // chart again and returns false; the dialog stays open.
    bool RunImport(const std::function<void(TLoadProgress* progress)>& load);
    // Takes the series of ImportSeries off the chart again.
    void DropImportSeries();
    // The end of every successful load: the dialog closes with OK.
    void LoadSucceeded();
    // A button of a tab: fixed place, takes the focus from the Tab key only.
    static QPushButton* TabButton(QWidget* tab, const QRect& geometry, const QString& caption);
    // A drop-down list without free typing.
    static QComboBox* TabDropDownList(QWidget* tab, const QPoint& place, int width);
    // Runs a tab's command; an error is shown and the dialog stays open.
    void ConnectCommand(QPushButton* button, void (TfrmLoadData::*handler)());
    // The series of ImportSeries, in order.
    std::vector<TFastLineSeries*> ImportedSeries() const;
    // Fills a tab's time list and data check list with the same entries,
    // none selected and none ticked.
    static void FillChoices(QComboBox* timeList, QListWidget* dataList, const QStringList& entries);
    // The ticked entries of a check list, from the top.
    static QList<TFieldChoice> CheckedEntries(const QListWidget* list);

private:
    // Runs a command on the database connection; when it fails because the
    // server went away, the status says so before the error goes on.
    void ShowingLostConnection(const std::function<void()>& command);
    void CreateDatabaseTab();
    void CreateExcelTab();
    void CreateTextTab();
    void CreateTestDataTab();
    void CreateLoggerTab();
    void FillLoggerTimes();
    void AddTestSeries(std::vector<TChartPoint> (*generate)(const TLoadWindow&, TRandom&));

    TLoadDataHost& mHost;
    TRandom mRandom;
};
