#include "bench/PlaybackBench.h"

#include "bench/BenchClip.h"
#include "app/MainForm.h"
#include "common/Exception.h"
#include "video/MpvVideoPlayer.h"

#include <QApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr int PlaySeconds = 20;
// The main window's size: its video panel is then about 1280 x 720.
const QSize WindowSize(1280, 1010);
// Both players decode the same way and play the sound into mpv's null output.
const TMpvOptions PlayerOptions{{"hwdec", "no"}, {"ao", "null"}};

double CpuSeconds(const rusage& usage)
{
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double ProcessCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

// CPU seconds of the main window playing the clip for the playing time; the
// size of its video panel goes to panelSize.
double PlotreelCpuSeconds(const QString& clip, QSize& panelSize)
{
    TfrmMain window(std::make_unique<TMpvVideoPlayer>(PlayerOptions));
    window.resize(WindowSize);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    window.OpenVideoFile(clip);
    panelSize = window.pnlClient->size() * window.devicePixelRatio();

    QEventLoop loop;
    QTimer::singleShot(PlaySeconds * 1000, &loop, &QEventLoop::quit);
    const double before = ProcessCpuSeconds();
    window.Player().Play();
    loop.exec();
    const double cpu = ProcessCpuSeconds() - before;
    if (!window.Player().Playing() || window.Player().GetPosition() < PlaySeconds - 1)
        std::fprintf(stderr, "warning: the main window reached only %.1f s\n", window.Player().GetPosition());
    return cpu;
}

// CPU seconds of the mpv player playing the clip for the playing time in a
// window of the given size.
double MpvCpuSeconds(const QString& clip, QSize size)
{
    const QByteArray geometry = QStringLiteral("--geometry=%1x%2").arg(size.width()).arg(size.height()).toUtf8();
    const QByteArray length = QStringLiteral("--length=%1").arg(PlaySeconds).toUtf8();
    const QByteArray file = clip.toUtf8();
    std::string options[] = {"mpv", "--no-config", "--really-quiet", "--hwdec=no", "--ao=null"};
    std::vector<char*> args;
    for (std::string& option : options)
        args.push_back(option.data());
    for (const QByteArray* argument : {&geometry, &length, &file})
        args.push_back(const_cast<char*>(argument->constData()));
    args.push_back(nullptr);

    pid_t pid = 0;
    if (posix_spawnp(&pid, "mpv", nullptr, nullptr, args.data(), environ) != 0)
        throw Exception(QStringLiteral("mpv could not be started"));
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Exception(QStringLiteral("mpv failed to play the clip"));
    return CpuSeconds(usage);
}

int RunFigures()
{
    for (const char* program : {"ffmpeg", "mpv"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            std::fprintf(stderr, "plotreel-bench playback needs %s: scripts/install-deps.sh --with-bench\n", program);
            return 1;
        }
    }
    QTemporaryDir folder;
    if (!folder.isValid())
        throw Exception(QStringLiteral("cannot create a temporary folder"));
    const QString clip = MakeBenchClip(folder, PlaySeconds + 2);

    QSize panelSize;
    const double plotreel = PlotreelCpuSeconds(clip, panelSize);
    std::fprintf(stderr, "video panel %d x %d\n", panelSize.width(), panelSize.height());
    const double mpv = MpvCpuSeconds(clip, panelSize);
    std::printf("playback_cpu_s_plotreel %.2f s\n", plotreel);
    std::printf("playback_cpu_s_mpv %.2f s\n", mpv);
    std::printf("playback_cpu_vs_mpv %.2f x\n", plotreel / mpv);
    std::fflush(stdout);
    return 0;
}

} // namespace

int RunPlaybackBench(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("DISPLAY")) {
        std::fprintf(stderr, "plotreel-bench playback shows windows on an X display: "
                             "run it as xvfb-run -a plotreel-bench playback\n");
        return 1;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    try {
        return RunFigures();
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
