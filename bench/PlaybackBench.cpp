#include "bench/PlaybackBench.h"

#include "bench/BenchClip.h"
#include "bench/WindowBench.h"
#include "app/MainForm.h"
#include "common/Exception.h"
#include "multivideo/VideoSet.h"
#include "multivideo/VideoTile.h"
#include "video/MpvVideoPlayer.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
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

// CPU seconds of the main window playing the first clip, the others added
// beside it, for the playing time; the size of each video's picture goes to
// pictureSize. `sample` runs every 100 ms while they play.
double PlotreelCpuSeconds(const QStringList& clips, QSize& pictureSize,
                          const std::function<void(TfrmMain&)>& sample = {})
{
    TfrmMain window(std::make_unique<TMpvVideoPlayer>(PlayerOptions));
    window.resize(WindowSize);
    // Wholly on the screen, where it is large enough, so that the pictures
    // can be read from it.
    window.move(0, 0);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    window.OpenVideoFile(clips.front());
    for (const QString& clip : clips.mid(1))
        window.Videos().Add({clip, 0}, 0, false);
    pictureSize = window.Videos().MainTile()->size() * window.devicePixelRatio();

    QEventLoop loop;
    QTimer::singleShot(PlaySeconds * 1000, &loop, &QEventLoop::quit);
    QTimer sampler;
    if (sample) {
        QObject::connect(&sampler, &QTimer::timeout, [&] { sample(window); });
        sampler.start(100);
    }
    const double before = ProcessCpuSeconds();
    // As the play button does.
    window.sbnPlayPause->click();
    loop.exec();
    const double cpu = ProcessCpuSeconds() - before;
    if (!window.Player().Playing() || window.Player().GetPosition() < PlaySeconds - 1)
        std::fprintf(stderr, "warning: the main window reached only %.1f s\n", window.Player().GetPosition());
    return cpu;
}

// CPU seconds of mpv players, one for each clip, playing them at the same
// time for the playing time, each in a window of the given size.
double MpvCpuSeconds(const QStringList& clips, QSize size)
{
    const QByteArray geometry = QStringLiteral("--geometry=%1x%2").arg(size.width()).arg(size.height()).toUtf8();
    const QByteArray length = QStringLiteral("--length=%1").arg(PlaySeconds).toUtf8();
    std::vector<pid_t> players;
    for (const QString& clip : clips) {
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
        players.push_back(pid);
    }
    double cpu = 0;
    bool failed = false;
    for (pid_t pid : players) {
        int status = 0;
        rusage usage{};
        failed = wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || failed;
        cpu += CpuSeconds(usage);
    }
    if (failed)
        throw Exception(QStringLiteral("mpv failed to play the clip"));
    return cpu;
}

double LargestDrift(const std::vector<double>& apart)
{
    double largest = 0;
    for (double frames : apart)
        largest = std::max(largest, std::abs(frames));
    return largest;
}

// How the samples of the added video's distance from the main one spread, in
// whole frames, and each second's largest, to stderr; then the same for their
// clocks in milliseconds.
void PrintDrift(const std::vector<double>& frames, const std::vector<double>& clocksMs)
{
    std::map<long, int> counts;
    for (double apart : frames)
        ++counts[std::lround(apart)];
    std::fprintf(stderr, "pictures apart (frames: samples):");
    for (const auto& [apart, count] : counts)
        std::fprintf(stderr, " %+ld: %d", apart, count);
    for (const auto& [name, samples] : {std::pair{"pictures apart (frames)", &frames}, {"clocks apart (ms)", &clocksMs}}) {
        std::fprintf(stderr, "\n%s, each second's largest:", name);
        for (std::size_t first = 0; first < samples->size(); first += 10) {
            double largest = 0;
            for (std::size_t i = first; i < std::min(samples->size(), first + 10); ++i)
                largest = std::abs((*samples)[i]) > std::abs(largest) ? (*samples)[i] : largest;
            std::fprintf(stderr, " %+.1f", largest);
        }
    }
    std::fprintf(stderr, "\n");
}

// Where mpv shows a bench clip's picture in a tile, within its frame, in the
// tile's coordinates.
QRect PictureRect(const QWidget* tile)
{
    const int frame = TVideoTile::FrameWidth;
    const QRect inner = tile->rect().adjusted(frame, frame, -frame, -frame);
    const QSize size = QSize(BenchClipWidth, BenchClipHeight).scaled(inner.size(), Qt::KeepAspectRatio);
    return {inner.topLeft() + QPoint((inner.width() - size.width()) / 2, (inner.height() - size.height()) / 2), size};
}

// The frame number that a bench clip's picture shows in `picture` of the
// image, or -1 where a block is neither clearly white nor clearly black.
int FrameNumberIn(const QImage& image, const QRect& picture)
{
    const double scale = double(picture.width()) / BenchClipWidth;
    const int y = picture.top() + qRound(BenchClipBandHeight / 2 * scale);
    int number = 0;
    for (int bit = 0; bit < BenchClipBandBits; ++bit) {
        const int x = picture.left() + qRound((BenchClipBlockWidth * bit + BenchClipBlockWidth / 2) * scale);
        const int lightness = QColor(image.pixel(x, y)).lightness();
        if (lightness > 200)
            number |= 1 << bit;
        else if (lightness > 55)
            return -1;
    }
    return number;
}

// The frame numbers that two tiles side by side show at one moment: both
// bands are taken from the screen in one grab.
std::pair<int, int> ShownFrameNumbers(const QWidget* left, const QWidget* right)
{
    const QRect pictures[] = {PictureRect(left).translated(left->mapToGlobal(QPoint(0, 0))),
                              PictureRect(right).translated(right->mapToGlobal(QPoint(0, 0)))};
    const int bandHeight = qRound(BenchClipBandHeight * double(pictures[0].width()) / BenchClipWidth);
    const QRect grabbed = QRect(pictures[0].topLeft(), QSize(pictures[0].width(), bandHeight))
                              .united(QRect(pictures[1].topLeft(), QSize(pictures[1].width(), bandHeight)));
    const QImage image = left->screen()->grabWindow(0, grabbed.x(), grabbed.y(), grabbed.width(), grabbed.height()).toImage();
    return {FrameNumberIn(image, pictures[0].translated(-grabbed.topLeft())),
            FrameNumberIn(image, pictures[1].translated(-grabbed.topLeft()))};
}

void RunFigures(const QTemporaryDir& folder)
{
    RequireBenchPrograms("playback", {"ffmpeg", "mpv"});
    const QString clip = MakeBenchClip(folder, PlaySeconds + 2);

    QSize panelSize;
    const double plotreel = PlotreelCpuSeconds({clip}, panelSize);
    std::fprintf(stderr, "video panel %d x %d\n", panelSize.width(), panelSize.height());
    const double mpv = MpvCpuSeconds({clip}, panelSize);
    std::printf("playback_cpu_s_plotreel %.2f s\n", plotreel);
    std::printf("playback_cpu_s_mpv %.2f s\n", mpv);
    std::printf("playback_cpu_vs_mpv %.2f x\n", plotreel / mpv);
    std::fflush(stdout);
}

void RunTwoVideoFigures(const QTemporaryDir& folder)
{
    RequireBenchPrograms("playback2", {"ffmpeg", "mpv"});
    const QStringList clips{MakeBenchClip(folder, PlaySeconds + 2), MakeBenchClip(folder, PlaySeconds + 2, QStringLiteral("testsrc"))};

    // How many frames the added video's picture lies ahead of the main one's
    // (their offset being 0), as the screen shows both at one moment; the
    // first second, while both start, is left out. The distance of the
    // players' clocks goes to stderr too, in milliseconds.
    std::vector<double> apart;
    std::vector<double> clocksApart;
    int samples = 0;
    int unread = 0;
    const auto sample = [&](TfrmMain& window) {
        if (++samples <= 10 || !window.Player().Playing())
            return;
        const TPlayingPosition main = window.Player().PlayingPosition();
        const TPlayingPosition added = window.Videos().AddedPlayer(0).PlayingPosition();
        if (main.Clock && added.Clock)
            clocksApart.push_back((*added.Clock - *main.Clock) * 1000);
        const std::pair<int, int> shown = ShownFrameNumbers(window.Videos().MainTile(), window.Videos().AddedTile(0));
        if (shown.first < 0 || shown.second < 0)
            ++unread;
        else
            apart.push_back(shown.second - shown.first);
    };
    QSize pictureSize;
    const double plotreel = PlotreelCpuSeconds(clips, pictureSize, sample);
    std::fprintf(stderr, "pictures %d x %d\n", pictureSize.width(), pictureSize.height());
    std::fprintf(stderr, "%d of %zu pictures could not be read\n", unread, apart.size() + unread);
    PrintDrift(apart, clocksApart);
    const double mpv = MpvCpuSeconds(clips, pictureSize);
    std::printf("playback2_cpu_s_plotreel %.2f s\n", plotreel);
    std::printf("playback2_cpu_s_mpv2 %.2f s\n", mpv);
    std::printf("playback2_cpu_vs_mpv2 %.2f x\n", plotreel / mpv);
    // Pictures off the screen cannot be read.
    if (apart.size() > std::size_t(unread))
        std::printf("playback2_drift_frames %.2f frames\n", LargestDrift(apart));
    else
        std::fprintf(stderr, "the pictures could not be read: run on a screen of at least 1280 x 1010\n");
    std::fflush(stdout);
}

} // namespace

int RunPlaybackBench(int argc, char** argv)
{
    const bool twoVideos = argc >= 2 && std::strcmp(argv[1], "playback2") == 0;
    return RunWindowBench(argc, argv, twoVideos ? "playback2" : "playback",
                          twoVideos ? RunTwoVideoFigures : RunFigures, TBenchScreen::X);
}
