#include "bench/ScrubBench.h"

#include "bench/BenchClip.h"
#include "bench/WindowBench.h"
#include "video/MpvVideoPlayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace {

constexpr int ClipSeconds = 60;
constexpr int DragMs = 10000;
constexpr int PointerIntervalMs = 16;

double PicturesPerSecond(const QString& clip)
{
    QWidget panel;
    panel.resize(1280, 720);
    panel.show();
    while (!panel.windowHandle() || !panel.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    TMpvVideoPlayer player({{"hwdec", "no"}, {"ao", "null"}});
    player.SetVideoWindow(&panel);
    player.Open(clip);

    int pictures = 0;
    player.OnScrubShown = [&](TVideoPlayer*, double) { ++pictures; };
    QElapsedTimer clock;
    QTimer pointer;
    QEventLoop loop;
    QObject::connect(&pointer, &QTimer::timeout, &loop, [&] {
        const qint64 elapsed = clock.elapsed();
        if (elapsed >= DragMs) {
            loop.quit();
            return;
        }
        player.ScrubTo(float(ClipSeconds * double(elapsed) / DragMs));
    });
    clock.start();
    pointer.start(PointerIntervalMs);
    loop.exec();
    return pictures * 1000.0 / clock.elapsed();
}

} // namespace

int RunScrubBench(int argc, char** argv)
{
    return RunWindowBench(
        argc, argv, "scrub",
        [](const QTemporaryDir& folder) {
            RequireBenchPrograms("scrub", {"ffmpeg"});
            const QString clip = MakeBenchClip(folder, ClipSeconds);
            std::printf("scrub_fps_1080p %.1f fps\n", PicturesPerSecond(clip));
            std::fflush(stdout);
        },
        TBenchScreen::X);
}
