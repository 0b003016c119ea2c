#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/MainForm.h"
#include "export/CommandLineExport.h"
#include "video/MpvVideoPlayer.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

bool HasDisplay(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0)
            return true;
    }
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY")
           || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

// The program's name, and with it where its settings go:
// ~/.config/Vorlan/Vorlan Plotreel.conf.
void NameProgram()
{
    SetApplicationTitle();
    QCoreApplication::setOrganizationName(QStringLiteral("Vorlan"));
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> exitCode = AnswerWithoutWindow(argc, argv))
        return *exitCode;
    // Exports and the usage need no window, nor a display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (IsWindowlessCommand(arguments)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        // The exports draw the chart as the window's settings show it.
        NameProgram();
        return RunWindowlessCommand(QCoreApplication::arguments());
    }
    if (!HasDisplay(argc, argv)) {
        std::fprintf(stderr, "plotreel: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
                             "start it from a desktop session.\n");
        return EXIT_FAILURE;
    }
    // mpv draws the video into an X11 window of ours: in a Wayland session
    // the program runs through XWayland where there is one.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    TApplication app(argc, argv);
    // libmpv refuses to start unless numbers are formatted the C way; Qt's own
    // formatting goes through QLocale and is not affected.
    std::setlocale(LC_NUMERIC, "C");
    NameProgram();

    TfrmMain frmMain(std::make_unique<TMpvVideoPlayer>());
    frmMain.show();
    OpenCommandLineVideo(frmMain, QCoreApplication::arguments());
    return app.exec();
}
