#pragma once

#include "connect/ConnectionStringBuilder.h"

#include <QByteArray>
#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

// The OLE DB connection string that the last run of the "Connect Database"
// dialog ended with "Connect" built, as UTF-8; empty until then.
extern QByteArray DatabaseConnectionString;

// Shows the "Connect Database" dialog modally with its top-left corner at the
// bottom-left corner of button. True exactly when it closed with "Connect";
// DatabaseConnectionString then holds the string built from the dialog. The
// main window creates the dialog at start-up.
bool RunConnectDatabaseDialog(QWidget* button);

// The "Connect Database" dialog: where the chart data live (an MS SQL server,
// an MS Access file or any connection string) and how to sign in. It opens no
// connection; it only describes one. It lives until the program ends and keeps
// everything the user set between runs.
class TfrmConnectDatabase : public QDialog {
    Q_OBJECT

public:
    explicit TfrmConnectDatabase(QWidget* parent = nullptr);
    ~TfrmConnectDatabase() override;

    // The dialog's choices as they stand.
    TConnectionSettings Settings() const;

    QTabWidget* PageControl = nullptr;

    // "MS SQL".
    QWidget* TabSheet1 = nullptr;
    QRadioButton* rbnConnectByIP = nullptr;
    QLineEdit* edtHostName = nullptr;
    QLineEdit* edtPort = nullptr;
    QRadioButton* rbnConnectByServer = nullptr;
    QLineEdit* edtSQLServerName = nullptr;
    QLineEdit* edtSQLServerDatabase = nullptr;

    // "MS Access".
    QWidget* TabSheet2 = nullptr;
    QLineEdit* edtAccessDatabaseFile = nullptr;
    QToolButton* sbnSelectAccessFiles = nullptr;

    // "Custom".
    QWidget* TabSheet3 = nullptr;
    QPlainTextEdit* mmADOConnectionString = nullptr;

    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* rbnAuthenticationNo = nullptr;
    QRadioButton* rbnAuthenticationWin = nullptr;
    QRadioButton* rbnAuthenticationLogin = nullptr;
    QLineEdit* edtLogin = nullptr;
    QLineEdit* edtPassword = nullptr;

    QPushButton* btnConnect = nullptr;
    QPushButton* btnCancel = nullptr;

    // Picks the Access file; a cancelled file dialog changes nothing.
    void sbnSelectAccessFilesClick();

protected:
    // While the dialog is shown it sees every key first and swallows the Alt
    // key, so that neither it nor a control acts on it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void CreateSqlTab();
    void CreateAccessTab();
    void CreateCustomTab();
    void CreateAuthenticationGroup();
};

// The one dialog, created at start-up; null before and after.
extern TfrmConnectDatabase* frmConnectDatabase;
