#include "about/About.h"
#include "about/ProdInfo.h"
#include "app/Application.h"
#include "common/MessageBoxes.h"
#include "connect/ConnectDatabaseForm.h"
#include "import/LoadDataForm.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/UiDriver.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The title that the X server holds for a window, as a window manager shows it.
std::string XTitle(QWidget* widget)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        ADD_FAILURE() << "not running on X";
        return {};
    }
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(widget->winId());
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, window, Atom(connection, "_NET_WM_NAME"), Atom(connection, "UTF8_STRING"), 0,
                         1024),
        nullptr);
    QString title;
    if (reply)
        title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                  xcb_get_property_value_length(reply));
    std::free(reply);
    return title.toStdString();
}

class WindowTitles : public MainWindow {
protected:
    void SetUp() override
    {
        // As the program starts: the application is named before any window.
        SetApplicationTitle();
        MainWindow::SetUp();
    }

    // The title of the modal window that show opens; the window is closed.
    static std::string ModalTitle(const std::function<void()>& show)
    {
        std::string title;
        WhenModal([&title](QWidget* modal) {
            title = XTitle(modal);
            modal->close();
        });
        show();
        return title;
    }
};

} // namespace

TEST_F(WindowTitles, AreExactlyTheWindowsOwn)
{
    EXPECT_EQ(QCoreApplication::applicationName(), ProductInfo.ProductName);
    EXPECT_EQ(XTitle(window.get()), "Vorlan Plotreel");
    EXPECT_EQ(XTitle(window->frmLoadData), "Load Chart Data");
    ASSERT_NE(frmConnectDatabase, nullptr);
    EXPECT_EQ(XTitle(frmConnectDatabase), "Connect Database");
    EXPECT_EQ(ModalTitle([] { ShowErrorBox(QStringLiteral("x")); }), "Error");
    EXPECT_EQ(ModalTitle([] { ShowWarningBox(QStringLiteral("x")); }), "Warning");
    EXPECT_EQ(ModalTitle([this] { ShowAboutBox(ProductInfo, window.get()); }), "About");
}
