#include "connect/ConnectDatabaseForm.h"
#include "tests/support/UiDriver.h"

#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Records the keys that reach a widget.
class KeyRecorder : public QObject {
public:
    QList<int> Pressed;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            Pressed << static_cast<QKeyEvent*>(event)->key();
        return false;
    }
};

class ConnectDatabase : public ::testing::Test {
protected:
    void SetUp() override
    {
        DatabaseConnectionString.clear();
        host.setGeometry(200, 150, 300, 200);
        anchor = new QPushButton(QStringLiteral("Connect Database"), &host);
        anchor->setGeometry(20, 30, 150, 32);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        form = std::make_unique<TfrmConnectDatabase>(&host);
    }

    // Runs the dialog under the anchor and lets act work on it; act must
    // close it. Returns what RunConnectDatabaseDialog returned.
    bool Run(const std::function<void(TfrmConnectDatabase&)>& act)
    {
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TfrmConnectDatabase*>(modal);
            if (!dialog) {
                ADD_FAILURE() << "the connection dialog did not open";
                modal->close();
                return;
            }
            shownAt = dialog->pos();
            act(*dialog);
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                dialog->reject();
            }
        });
        return RunConnectDatabaseDialog(anchor);
    }

    QWidget host;
    QPushButton* anchor = nullptr;
    std::unique_ptr<TfrmConnectDatabase> form;
    QPoint shownAt;
};

} // namespace

TEST_F(ConnectDatabase, OpensUnderTheButtonWithItsDefaultsAndEnterConnects)
{
    EXPECT_EQ(frmConnectDatabase, form.get());
    const bool connected = Run([](TfrmConnectDatabase& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Connect Database");
        EXPECT_EQ(dialog.size(), QSize(480, 365));
        EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
        EXPECT_EQ(dialog.font().family(), "Arial");
        EXPECT_EQ(dialog.font().pixelSize(), 13);
        ASSERT_EQ(dialog.PageControl->count(), 3);
        EXPECT_EQ(dialog.PageControl->tabText(0), "MS SQL");
        EXPECT_EQ(dialog.PageControl->tabText(1), "MS Access");
        EXPECT_EQ(dialog.PageControl->tabText(2), "Custom");
        EXPECT_EQ(dialog.PageControl->currentWidget(), dialog.TabSheet1);
        EXPECT_EQ(dialog.rbnConnectByIP->text(), "Connect by Host Name or IP Addess");
        EXPECT_TRUE(dialog.rbnConnectByIP->isChecked());
        EXPECT_FALSE(dialog.rbnConnectByServer->isChecked());
        EXPECT_EQ(dialog.edtHostName->text(), "localhost");
        EXPECT_EQ(dialog.edtPort->text(), "1433");
        EXPECT_EQ(dialog.edtPort->width(), 49);
        EXPECT_TRUE(dialog.edtSQLServerName->text().isEmpty());
        EXPECT_TRUE(dialog.edtSQLServerDatabase->text().isEmpty());
        EXPECT_TRUE(dialog.edtAccessDatabaseFile->text().isEmpty());
        EXPECT_TRUE(dialog.edtAccessDatabaseFile->isReadOnly());
        EXPECT_EQ(dialog.sbnSelectAccessFiles->text(), "...");
        EXPECT_EQ(dialog.sbnSelectAccessFiles->focusPolicy(), Qt::TabFocus);
        EXPECT_TRUE(dialog.mmADOConnectionString->toPlainText().isEmpty());
        EXPECT_EQ(dialog.GroupBox1->title(), "Authentication Information");
        EXPECT_TRUE(dialog.rbnAuthenticationNo->isChecked());
        EXPECT_FALSE(dialog.rbnAuthenticationWin->isChecked());
        EXPECT_FALSE(dialog.rbnAuthenticationLogin->isChecked());
        // One ampersand shown, and no shortcut key.
        EXPECT_EQ(dialog.rbnAuthenticationLogin->text(), "Use login && password");
        EXPECT_TRUE(dialog.rbnAuthenticationLogin->shortcut().isEmpty());
        EXPECT_EQ(dialog.edtLogin->toolTip(), "Login");
        EXPECT_EQ(dialog.edtPassword->toolTip(), "Password");
        EXPECT_EQ(dialog.edtPassword->echoMode(), QLineEdit::Password);
        // The style's own mask is a bullet; the box shows asterisks.
        dialog.edtPassword->setText(QStringLiteral("p4ss"));
        EXPECT_EQ(dialog.edtPassword->displayText(), "****");
        dialog.edtPassword->clear();
        EXPECT_TRUE(dialog.btnConnect->isDefault());
        QTest::keyClick(dialog.edtSQLServerDatabase, Qt::Key_Return);
    });
    EXPECT_TRUE(connected);
    EXPECT_EQ(shownAt, anchor->mapToGlobal(QPoint(0, anchor->height())));
    EXPECT_EQ(DatabaseConnectionString, "Provider=SQLOLEDB;Server=localhost,1433;Initial Catalog=;");
}

TEST_F(ConnectDatabase, CancelEscAndTheCloseBoxLeaveTheStringAsItWas)
{
    ASSERT_TRUE(Run([](TfrmConnectDatabase& dialog) {
        dialog.edtHostName->setText(QStringLiteral("127.0.0.1"));
        dialog.edtSQLServerDatabase->setText(QStringLiteral("Sales"));
        dialog.rbnAuthenticationWin->setChecked(true);
        dialog.btnConnect->click();
    }));
    const QByteArray built = "Provider=SQLOLEDB;Server=127.0.0.1,1433;Initial Catalog=Sales;Trusted_Connection=yes;";
    ASSERT_EQ(DatabaseConnectionString, built);

    const std::pair<const char*, std::function<void(TfrmConnectDatabase&)>> cancels[] = {
        {"Cancel", [](TfrmConnectDatabase& dialog) { dialog.btnCancel->click(); }},
        {"Esc", [](TfrmConnectDatabase& dialog) { QTest::keyClick(dialog.edtPort, Qt::Key_Escape); }},
        {"close box", [](TfrmConnectDatabase& dialog) { dialog.close(); }},
    };
    // Plain names rather than a structured binding, which lambdas cannot
    // capture in C++17 (clang refuses).
    for (const auto& entry : cancels) {
        const char* name = entry.first;
        const auto& cancel = entry.second;
        const bool connected = Run([&](TfrmConnectDatabase& dialog) {
            // What the user changed before giving up is not built.
            dialog.PageControl->setCurrentWidget(dialog.TabSheet3);
            dialog.mmADOConnectionString->setPlainText(QStringLiteral("Provider=Other;"));
            cancel(dialog);
        });
        EXPECT_FALSE(connected) << name;
        EXPECT_EQ(DatabaseConnectionString, built) << name;
    }
}

TEST_F(ConnectDatabase, KeepsEverythingBetweenRuns)
{
    ASSERT_TRUE(Run([](TfrmConnectDatabase& dialog) {
        dialog.rbnConnectByServer->setChecked(true);
        dialog.edtSQLServerName->setText(QStringLiteral("PLANT\\SQL"));
        dialog.edtHostName->setText(QStringLiteral("10.0.0.7"));
        dialog.rbnAuthenticationLogin->setChecked(true);
        dialog.edtLogin->setText(QStringLiteral("sa"));
        dialog.edtPassword->setText(QStringLiteral("secret"));
        dialog.PageControl->setCurrentWidget(dialog.TabSheet3);
        dialog.mmADOConnectionString->setPlainText(QStringLiteral("DSN=plant;"));
        dialog.btnConnect->click();
    }));
    EXPECT_EQ(DatabaseConnectionString, "DSN=plant;User ID=sa;Password=secret;");

    // A cancelled run keeps its changes too.
    EXPECT_FALSE(Run([](TfrmConnectDatabase& dialog) {
        EXPECT_EQ(dialog.PageControl->currentWidget(), dialog.TabSheet3);
        EXPECT_EQ(dialog.mmADOConnectionString->toPlainText(), "DSN=plant;");
        EXPECT_TRUE(dialog.rbnAuthenticationLogin->isChecked());
        EXPECT_EQ(dialog.edtLogin->text(), "sa");
        EXPECT_EQ(dialog.edtPassword->text(), "secret");
        dialog.PageControl->setCurrentWidget(dialog.TabSheet1);
        dialog.reject();
    }));
    ASSERT_TRUE(Run([](TfrmConnectDatabase& dialog) {
        EXPECT_EQ(dialog.PageControl->currentWidget(), dialog.TabSheet1);
        EXPECT_TRUE(dialog.rbnConnectByServer->isChecked());
        EXPECT_FALSE(dialog.rbnConnectByIP->isChecked());
        EXPECT_EQ(dialog.edtHostName->text(), "10.0.0.7");
        dialog.btnConnect->click();
    }));
    EXPECT_EQ(DatabaseConnectionString, "Provider=SQLOLEDB;Server=PLANT\\SQL;Initial Catalog=;User ID=sa;Password=secret;");
}

TEST_F(ConnectDatabase, TheAltKeyReachesNoControl)
{
    KeyRecorder recorder;
    form->edtLogin->installEventFilter(&recorder);
    EXPECT_FALSE(Run([&](TfrmConnectDatabase& dialog) {
        QTest::keyClick(dialog.edtLogin, Qt::Key_Alt);
        QTest::keyClick(dialog.edtLogin, Qt::Key_A);
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    }));
    EXPECT_EQ(recorder.Pressed, QList<int>{Qt::Key_A});
    EXPECT_EQ(form->edtLogin->text(), "a");

    // Hidden, the dialog no longer looks at keys.
    QTest::keyClick(form->edtLogin, Qt::Key_Alt);
    EXPECT_EQ(recorder.Pressed, (QList<int>{Qt::Key_A, Qt::Key_Alt}));
}

TEST_F(ConnectDatabase, TheAccessFileComesOnlyFromTheFileDialog)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plant.mdb"));
    QFile(path).open(QIODevice::WriteOnly);
    QStringList offered;
    WhenModal([&](QWidget* modal) {
        if (auto* files = qobject_cast<QFileDialog*>(modal))
            offered = files->nameFilters();
        modal->close();
    });
    form->sbnSelectAccessFiles->click();
    EXPECT_EQ(offered, (QStringList{"Access Database Files (*.mdb *.accdb)", "All Files (*)"}));
    EXPECT_TRUE(form->edtAccessDatabaseFile->text().isEmpty());

    AnswerFileDialog(path);
    form->sbnSelectAccessFiles->click();
    EXPECT_EQ(form->edtAccessDatabaseFile->text(), path);

    // Cancelled: the path stays. Typing does not change it either.
    WhenModal([](QWidget* modal) { modal->close(); });
    form->sbnSelectAccessFiles->click();
    EXPECT_EQ(form->edtAccessDatabaseFile->text(), path);
    QTest::keyClicks(form->edtAccessDatabaseFile, QStringLiteral("x"));
    QTest::keyClick(form->edtAccessDatabaseFile, Qt::Key_Backspace);
    EXPECT_EQ(form->edtAccessDatabaseFile->text(), path);

    ASSERT_TRUE(Run([](TfrmConnectDatabase& dialog) {
        dialog.PageControl->setCurrentWidget(dialog.TabSheet2);
        dialog.btnConnect->click();
    }));
    EXPECT_EQ(DatabaseConnectionString, "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path.toUtf8() + ";");
}

TEST_F(ConnectDatabase, EnterInTheCustomTextStartsANewLine)
{
    ASSERT_TRUE(Run([](TfrmConnectDatabase& dialog) {
        dialog.PageControl->setCurrentWidget(dialog.TabSheet3);
        QPlainTextEdit* text = dialog.mmADOConnectionString;
        QTest::keyClicks(text, QStringLiteral("Provider=X;"));
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClicks(text, QStringLiteral("Data Source=y"));
        EXPECT_TRUE(dialog.isVisible());
        dialog.rbnAuthenticationWin->setChecked(true);
        QTest::keyClick(dialog.edtLogin, Qt::Key_Enter);
    }));
    EXPECT_EQ(DatabaseConnectionString, "Provider=X;\r\nData Source=yTrusted_Connection=yes;");
}
