#pragma once

#include <QGuiApplication>

// Shows the wait cursor for the lifetime of the object, so that it is restored
// on every way out of a command, an exception included.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
