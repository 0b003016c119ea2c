#include "tests/app/XPointer.h"

#include <QGuiApplication>
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdlib>
#include <utility>

bool ClickThroughX(QPoint global)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        ADD_FAILURE() << "not running on X";
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    xcb_test_get_version_reply_t* version =
        xcb_test_get_version_reply(connection, xcb_test_get_version(connection, 2, 2), nullptr);
    if (!version) {
        ADD_FAILURE() << "the X server has no XTEST extension";
        return false;
    }
    std::free(version);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto x = static_cast<int16_t>(global.x());
    const auto y = static_cast<int16_t>(global.y());
    const uint8_t left = 1;
    xcb_generic_error_t* error = nullptr;
    for (const auto& [type, detail] : {std::pair<uint8_t, uint8_t>{XCB_MOTION_NOTIFY, 0},
                                       {XCB_BUTTON_PRESS, left}, {XCB_BUTTON_RELEASE, left}}) {
        error = xcb_request_check(
            connection, xcb_test_fake_input_checked(connection, type, detail, XCB_CURRENT_TIME, root, x, y, 0));
        if (error)
            break;
    }
    if (error) {
        ADD_FAILURE() << "the X server refused the faked pointer input (error " << int(error->error_code) << ")";
        std::free(error);
        return false;
    }
    return true;
}
