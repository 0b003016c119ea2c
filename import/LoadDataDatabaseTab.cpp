// The "Database" tab: series from the columns of a database table, the
// records chosen by their time.
#include "import/LoadDataForm.h"

#include "chart/Chart.h"
#include "connect/ConnectDatabaseForm.h"
#include "common/AccessibleNames.h"
#include "common/Exception.h"
#include "common/MessageBoxes.h"
#include "common/PlacedLabel.h"
#include "common/WaitCursor.h"
#include "database/Database.h"
#include "import/DatabaseLoad.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

void TfrmLoadData::CreateDatabaseTab()
{
    TabSheet1 = new QWidget;
    PageControl->addTab(TabSheet1, QStringLiteral("Database"));
    sbnConnectDatabase = TabButton(TabSheet1, QRect(16, 16, 241, 32), QStringLiteral("Connect Database"));
    sbnDisconnectDatabase = TabButton(TabSheet1, QRect(263, 16, 89, 32), QStringLiteral("Disconnect"));
    lblDatabaseConnectionStatus = PlacedLabel(TabSheet1, QPoint(16, 56), QString());
    lblDatabaseConnectionStatus->resize(370, lblDatabaseConnectionStatus->height());
    Label2 = PlacedLabel(TabSheet1, QPoint(16, 91), QStringLiteral("Table"));
    cbxTables = TabDropDownList(TabSheet1, QPoint(112, 88), 240);
    Label3 = PlacedLabel(TabSheet1, QPoint(16, 131), QStringLiteral("Time Field"));
    cbxTimeField = TabDropDownList(TabSheet1, QPoint(112, 128), 240);
    Label4 = PlacedLabel(TabSheet1, QPoint(16, 171), QStringLiteral("Data Fields"));
    clbDataFields = new QListWidget(TabSheet1);
    clbDataFields->setGeometry(112, 168, 240, 150);
    NameByLabel(Label2, cbxTables);
    NameByLabel(Label3, cbxTimeField);
    NameByLabel(Label4, clbDataFields);
    sbnLoadDatabaseData = TabButton(TabSheet1, QRect(16, 336, 330, 32), QStringLiteral("Load Database Data"));
    ConnectCommand(sbnConnectDatabase, &TfrmLoadData::sbnConnectDatabaseClick);
    ConnectCommand(sbnDisconnectDatabase, &TfrmLoadData::sbnDisconnectDatabaseClick);
    ConnectCommand(sbnLoadDatabaseData, &TfrmLoadData::sbnLoadDatabaseDataClick);
    connect(cbxTables, &QComboBox::activated, this, [this] { RunCommand([this] { cbxTablesChange(); }); });
}

void TfrmLoadData::sbnConnectDatabaseClick()
{
    if (!RunConnectDatabaseDialog(sbnConnectDatabase))
        return;
    ConnectDatabaseString(QString::fromUtf8(DatabaseConnectionString));
}

void TfrmLoadData::sbnDisconnectDatabaseClick()
{
    if (!ADOConnection)
        return;
    ADOConnection.reset();
    ADOConnectionAfterDisconnect();
}

void TfrmLoadData::ConnectDatabaseString(const QString& connectionString)
{
    sbnDisconnectDatabaseClick();
    WaitCursor wait;
    ADOConnectionBeforeConnect();
    try {
        ADOConnection = ConnectDatabase(connectionString);
    } catch (const Exception& e) {
        ADOConnectionConnectComplete(false, e.Message());
        throw;
    }
    ADOConnectionConnectComplete(true, QString());
    const QStringList tables = ADOConnection->Tables();
    cbxTables->clear();
    cbxTables->addItems(tables);
    if (cbxTables->count() > 0) {
        cbxTables->setCurrentIndex(0);
        cbxTablesChange();
    }
}

void TfrmLoadData::cbxTablesChange()
{
    if (!ADOConnection)
        throw Exception(QStringLiteral("The database is NOT connected."));
    WaitCursor wait;
    QStringList columns;
    ShowingLostConnection([&] { columns = ADOConnection->Columns(cbxTables->currentText()); });
    FillChoices(cbxTimeField, clbDataFields, columns);
}

void TfrmLoadData::ShowingLostConnection(const std::function<void()>& command)
{
    try {
        command();
    } catch (const Exception&) {
        // The status tells that the connection serves no more.
        if (ADOConnection && ADOConnection->Lost())
            ADOConnectionConnectComplete(false, LostConnectionText());
        throw;
    }
}

bool TfrmLoadData::CheckDatabaseInput()
{
    QString failure;
    if (!ADOConnection)
        failure = QStringLiteral("The database is NOT connected.");
    else if (cbxTables->currentIndex() < 0)
        failure = QStringLiteral("The database table is NOT selected.");
    else if (cbxTimeField->currentIndex() < 0)
        failure = QStringLiteral("The time field is NOT selected.");
    else if (CheckedEntries(clbDataFields).isEmpty())
        failure = QStringLiteral("No one data field selected.");
    if (failure.isEmpty())
        return true;
    ShowWarningBox(failure);
    return false;
}

void TfrmLoadData::CreateDatabaseSeries()
{
    CreateImportSeries(CheckedEntries(clbDataFields));
}

void TfrmLoadData::sbnLoadDatabaseDataClick()
{
    if (!CheckDatabaseInput())
        return;
    CreateDatabaseSeries();
    const TLoadWindow window = Window();
    QStringList fields;
    std::vector<TFastLineSeries*> series;
    for (const TImportEntry& entry : ImportSeries) {
        fields << entry.Field;
        series.push_back(entry.Series);
    }
    const QString table = cbxTables->currentText();
    const QString timeField = cbxTimeField->currentText();
    bool loaded = false;
    ShowingLostConnection([&] {
        loaded = RunImport([&](TLoadProgress* progress) {
            LoadDatabaseTable(*ADOConnection, table, timeField, window, IsDateChecked(), fields, series, progress);
        });
    });
    if (loaded)
        LoadSucceeded();
}

void TfrmLoadData::ADOConnectionBeforeConnect()
{
    lblDatabaseConnectionStatus->setText(QStringLiteral("Connect to database..."));
    // Painted before the connect blocks the window.
    QCoreApplication::processEvents();
}

void TfrmLoadData::ADOConnectionConnectComplete(bool connected, const QString& error)
{
    lblDatabaseConnectionStatus->setText(connected ? QStringLiteral("Database connected.")
                                                   : QStringLiteral("Connection Error: ") + error);
}

void TfrmLoadData::ADOConnectionAfterDisconnect()
{
    lblDatabaseConnectionStatus->setText(QStringLiteral("Database disconnected."));
}
