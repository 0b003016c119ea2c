// Makes the picture of the main window shown in the README: a generated clip
// with two series of test data, the cursor part-way through.
#include "app/MainForm.h"
#include "chart/Chart.h"
#include "import/LoadDataForm.h"
#include "tests/support/TestVideos.h"
#include "tests/support/UiDriver.h"
#include "video/MpvVideoPlayer.h"

#include <QApplication>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <clocale>
#include <cstdio>

namespace {

QString MakeClip(const QTemporaryDir& folder)
{
    const QString clip = folder.filePath(QStringLiteral("bench-run.mp4"));
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=960x540:rate=25:duration=90",
                  "-c:v", "libx264", "-pix_fmt", "yuv420p", clip});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        return QString();
    return clip;
}

void LoadTestSeries(TfrmMain& window)
{
    WhenModal([](QWidget* modal) {
        if (auto* dialog = qobject_cast<TfrmLoadData*>(modal))
            dialog->sbnLoadTestData3->click();
    });
    window.sbnOpenData->click();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc != 2) {
        std::fprintf(stderr, "usage: readme_screenshot OUTPUT.png\n");
        return 2;
    }
    QTemporaryDir folder;
    const QString clip = MakeClip(folder);
    if (clip.isEmpty()) {
        std::fprintf(stderr, "readme_screenshot: ffmpeg could not make the clip\n");
        return 1;
    }

    TfrmMain window(std::make_unique<TMpvVideoPlayer>(TMpvOptions{{"ao", "null"}, {"hwdec", "no"}}));
    window.resize(1000, 760);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.OpenVideoFile(clip);
    for (int i = 0; i < 3; ++i)
        LoadTestSeries(window);
    window.Player().SetPosition(37.5f);
    window.MarkSerie->SetX0(window.StartTime + 37.5 / SecondsPerDay);
    window.MarkSerie->SetX1(window.MarkSerie->X0());
    window.UpdateControls();
    QTest::qWait(1500);

    QImage picture = window.grab().toImage();
    QPainter painter(&picture);
    const qreal ratio = picture.devicePixelRatio();
    painter.drawImage(QRectF(window.pnlClient->geometry().topLeft() / ratio, window.pnlClient->size()),
                      GrabVideoPanel(window.pnlClient));
    painter.end();
    return picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
