#include "app/CommandLine.h"

#include "about/ProdInfo.h"
#include "app/MainForm.h"

#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>

std::optional<int> AnswerWithoutWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("plotreel %s\n", ProductInfo.Version.toLocal8Bit().constData());
            return std::fflush(stdout) == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
        }
    }
    return std::nullopt;
}

void OpenCommandLineVideo(TfrmMain& window, const QStringList& arguments)
{
    if (arguments.size() < 2)
        return;
    // The companion file is named after the video's full path.
    window.OpenVideoLater(QFileInfo(arguments.at(1)).absoluteFilePath());
}
