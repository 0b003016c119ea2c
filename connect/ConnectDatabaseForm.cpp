#include "connect/ConnectDatabaseForm.h"

#include "common/AccessibleNames.h"
#include "common/Fonts.h"
#include "common/MessageBoxes.h"
#include "common/PlacedLabel.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

QByteArray DatabaseConnectionString;
TfrmConnectDatabase* frmConnectDatabase = nullptr;

namespace {

// odgAccessDatabaseFile's filter; the first entry is chosen.
const QString AccessFileFilter = QStringLiteral("Access Database Files (*.mdb *.accdb);;All Files (*)");

// The name under which the local machine reaches itself.
const QString LocalHostName = QStringLiteral("localhost");

QLineEdit* AddEdit(QWidget* parent, const QRect& geometry, const QString& text = QString())
{
    auto* edit = new QLineEdit(text, parent);
    edit->setGeometry(geometry);
    return edit;
}

QRadioButton* AddRadioButton(QWidget* parent, const QPoint& place, const QString& caption, bool checked = false)
{
    auto* button = new QRadioButton(caption, parent);
    button->move(place);
    button->adjustSize();
    button->setChecked(checked);
    return button;
}

QPushButton* AddButton(QWidget* parent, const QRect& geometry, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(geometry);
    return button;
}

} // namespace

TfrmConnectDatabase::TfrmConnectDatabase(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(QStringLiteral("Connect Database"));
    setFont(ArialFont(13));
    setFixedSize(480, 365);

    PageControl = new QTabWidget(this);
    PageControl->setGeometry(8, 8, 464, 201);
    CreateSqlTab();
    CreateAccessTab();
    CreateCustomTab();
    PageControl->setCurrentIndex(0);

    CreateAuthenticationGroup();

    btnConnect = AddButton(this, QRect(304, 328, 80, 27), QStringLiteral("Connect"));
    btnConnect->setDefault(true);
    connect(btnConnect, &QPushButton::clicked, this, &QDialog::accept);
    // Esc and the close box reject the dialog as this button does.
    btnCancel = AddButton(this, QRect(392, 328, 80, 27), QStringLiteral("Cancel"));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    frmConnectDatabase = this;
}

TfrmConnectDatabase::~TfrmConnectDatabase()
{
    if (frmConnectDatabase == this)
        frmConnectDatabase = nullptr;
}

void TfrmConnectDatabase::CreateSqlTab()
{
    TabSheet1 = new QWidget;
    PageControl->addTab(TabSheet1, QStringLiteral("MS SQL"));
    rbnConnectByIP = AddRadioButton(TabSheet1, QPoint(16, 12), QStringLiteral("Connect by Host Name or IP Addess"), true);
    QLabel* hostLabel = PlacedLabel(TabSheet1, QPoint(36, 43), QStringLiteral("Host Name / IP"));
    edtHostName = AddEdit(TabSheet1, QRect(140, 40, 200, 22), LocalHostName);
    NameByLabel(hostLabel, edtHostName);
    QLabel* portLabel = PlacedLabel(TabSheet1, QPoint(356, 43), QStringLiteral("Port"));
    edtPort = AddEdit(TabSheet1, QRect(390, 40, 49, 22), QStringLiteral("1433"));
    NameByLabel(portLabel, edtPort);
    rbnConnectByServer = AddRadioButton(TabSheet1, QPoint(16, 76), QStringLiteral("Connect by Server Name"));
    QLabel* serverLabel = PlacedLabel(TabSheet1, QPoint(36, 107), QStringLiteral("Server Name"));
    edtSQLServerName = AddEdit(TabSheet1, QRect(140, 104, 299, 22));
    NameByLabel(serverLabel, edtSQLServerName);
    QLabel* databaseLabel = PlacedLabel(TabSheet1, QPoint(36, 139), QStringLiteral("Database Name"));
    edtSQLServerDatabase = AddEdit(TabSheet1, QRect(140, 136, 299, 22));
    NameByLabel(databaseLabel, edtSQLServerDatabase);
}

void TfrmConnectDatabase::CreateAccessTab()
{
    TabSheet2 = new QWidget;
    PageControl->addTab(TabSheet2, QStringLiteral("MS Access"));
    QLabel* fileLabel = PlacedLabel(TabSheet2, QPoint(16, 16), QStringLiteral("Access Database File"));
    edtAccessDatabaseFile = AddEdit(TabSheet2, QRect(16, 38, 398, 22));
    edtAccessDatabaseFile->setReadOnly(true);
    NameByLabel(fileLabel, edtAccessDatabaseFile);
    sbnSelectAccessFiles = new QToolButton(TabSheet2);
    sbnSelectAccessFiles->setText(QStringLiteral("..."));
    sbnSelectAccessFiles->setGeometry(417, 38, 24, 22);
    // Reached with the Tab key; a click leaves the focus where it was.
    sbnSelectAccessFiles->setFocusPolicy(Qt::TabFocus);
    // "..." says nothing when read out.
    sbnSelectAccessFiles->setAccessibleName(QStringLiteral("Select Access Database File"));
    connect(sbnSelectAccessFiles, &QToolButton::clicked, this,
            [this] { RunCommand([this] { sbnSelectAccessFilesClick(); }); });
}

void TfrmConnectDatabase::CreateCustomTab()
{
    TabSheet3 = new QWidget;
    PageControl->addTab(TabSheet3, QStringLiteral("Custom"));
    QLabel* stringLabel = PlacedLabel(TabSheet3, QPoint(16, 12), QStringLiteral("OLE DB Connection String"));
    mmADOConnectionString = new QPlainTextEdit(TabSheet3);
    NameByLabel(stringLabel, mmADOConnectionString);
    mmADOConnectionString->setGeometry(16, 32, 425, 130);
    mmADOConnectionString->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Enter starts a new line here; Tab moves on to the next box.
    mmADOConnectionString->setTabChangesFocus(true);
}

void TfrmConnectDatabase::CreateAuthenticationGroup()
{
    GroupBox1 = new QGroupBox(QStringLiteral("Authentication Information"), this);
    GroupBox1->setGeometry(8, 216, 464, 100);
    rbnAuthenticationNo = AddRadioButton(GroupBox1, QPoint(16, 22), QStringLiteral("Authentication is not required"), true);
    rbnAuthenticationWin = AddRadioButton(GroupBox1, QPoint(16, 46), QStringLiteral("Use Windows authentication"));
    // "&&" shows one ampersand and makes no shortcut key.
    rbnAuthenticationLogin = AddRadioButton(GroupBox1, QPoint(16, 70), QStringLiteral("Use login && password"));
    edtLogin = AddEdit(GroupBox1, QRect(190, 68, 124, 22));
    edtLogin->setToolTip(QStringLiteral("Login"));
    NameByToolTip(edtLogin);
    edtPassword = AddEdit(GroupBox1, QRect(322, 68, 124, 22));
    edtPassword->setToolTip(QStringLiteral("Password"));
    NameByToolTip(edtPassword);
    edtPassword->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", whatever the style's own mask character.
    edtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

TConnectionSettings TfrmConnectDatabase::Settings() const
{
    TConnectionSettings settings;
    const QWidget* tab = PageControl->currentWidget();
    settings.Kind = tab == TabSheet2   ? TConnectionKind::MsAccess
                    : tab == TabSheet3 ? TConnectionKind::Custom
                                       : TConnectionKind::MsSql;
    settings.ConnectByHost = rbnConnectByIP->isChecked();
    settings.HostName = edtHostName->text();
    settings.Port = edtPort->text();
    settings.ServerName = edtSQLServerName->text();
    settings.DatabaseName = edtSQLServerDatabase->text();
    settings.AccessDatabaseFile = edtAccessDatabaseFile->text();
    settings.CustomText = mmADOConnectionString->toPlainText();
    settings.Authentication = rbnAuthenticationWin->isChecked()     ? TAuthentication::Windows
                              : rbnAuthenticationLogin->isChecked() ? TAuthentication::Login
                                                                    : TAuthentication::None;
    settings.Login = edtLogin->text();
    settings.Password = edtPassword->text();
    return settings;
}

void TfrmConnectDatabase::sbnSelectAccessFilesClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QString(), AccessFileFilter);
    if (!fileName.isEmpty())
        edtAccessDatabaseFile->setText(fileName);
}

void TfrmConnectDatabase::showEvent(QShowEvent* event)
{
    qApp->installEventFilter(this);
    QDialog::showEvent(event);
}

void TfrmConnectDatabase::hideEvent(QHideEvent* event)
{
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool TfrmConnectDatabase::eventFilter(QObject* watched, QEvent* event)
{
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (key && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Alt && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this)
        return true;
    return QDialog::eventFilter(watched, event);
}

bool RunConnectDatabaseDialog(QWidget* button)
{
    TfrmConnectDatabase& dialog = *frmConnectDatabase;
    dialog.move(button->mapToGlobal(QPoint(0, button->height())));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    DatabaseConnectionString = BuildConnectionString(dialog.Settings());
    return true;
}
