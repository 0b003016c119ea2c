#include "tests/app/MainWindowFixture.h"

#include <QApplication>
#include <QTimer>
#include <QToolButton>

// Ctrl+E, as the button, opens the "Export" dialog once a video is open.
TEST_F(MainWindow, CtrlEOpensTheExportDialogOnceAVideoIsOpen)
{
    EXPECT_FALSE(window->sbnExport->isEnabled());
    OpenVideo(60, At(7, 0));
    EXPECT_TRUE(window->sbnExport->isEnabled());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QString title;
    QTimer::singleShot(0, [&title] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            title = dialog->windowTitle();
            dialog->close();
        }
    });
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(title, QStringLiteral("Export"));
}
