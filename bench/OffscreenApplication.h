#pragma once

#include <QApplication>

#include <memory>

// An application on the offscreen platform, for figures that draw nothing
// on screen. The platform is chosen for this application alone, not for
// later ones of the process.
inline std::unique_ptr<QApplication> OffscreenApplication(char* program)
{
    static int argc = 3;
    static char platformOption[] = "-platform";
    static char platformName[] = "offscreen";
    static char* argv[] = {nullptr, platformOption, platformName, nullptr};
    argc = 3;
    argv[0] = program;
    return std::make_unique<QApplication>(argc, argv);
}
