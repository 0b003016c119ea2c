#pragma once

#include "common/Exception.h"

#include <QString>

#include <functional>

// Runs act and returns the message of the Exception it throws, or null text.
inline QString ErrorOf(const std::function<void()>& act)
{
    try {
        act();
    } catch (const Exception& e) {
        return e.Message();
    }
    return QString();
}
