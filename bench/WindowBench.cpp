#include "bench/WindowBench.h"

#include "common/Exception.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <memory>

int RunWindowBench(int argc, char** argv, const char* command,
                   const std::function<void(const QTemporaryDir& folder)>& figures, TBenchScreen screen)
{
    if (screen == TBenchScreen::X && !qEnvironmentVariableIsSet("DISPLAY")) {
        std::fprintf(stderr, "plotreel-bench %s shows windows on an X display: "
                             "run it as xvfb-run -a plotreel-bench %s\n", command, command);
        return 1;
    }
    if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "plotreel-bench %s shows the main window and needs a display: "
                             "run it as xvfb-run -a plotreel-bench %s\n", command, command);
        return 1;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    try {
        figures(folder);
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

double PlainReadSeconds(const QString& fileName)
{
    const auto begin = std::chrono::steady_clock::now();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Exception(QStringLiteral("Cannot open %1").arg(fileName));
    const qint64 size = file.size();
    const std::unique_ptr<char[]> bytes(new char[static_cast<std::size_t>(size)]);
    if (file.read(bytes.get(), size) != size)
        throw Exception(QStringLiteral("Cannot read %1").arg(fileName));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}
