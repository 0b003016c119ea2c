#include "chartdata/ChartData.h"
#include "chartdata/ChartDataIO.h"
#include "common/MessageBoxes.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/HugeChartDataFile.h"
#include "tests/support/ModalBoxCatcher.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtEndian>

#include <sys/stat.h>

namespace {

class CompanionFile : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(folder.isValid());
        video = folder.filePath(QStringLiteral("clip.mp4"));
        companion = folder.filePath(QStringLiteral("clip.bcd"));
        OpenVideo(90, At(12, 0), video);
    }

    TFastLineSeries* AddSeries(const QByteArray& title, std::initializer_list<TChartPoint> points)
    {
        TFastLineSeries* series = AddChartSeries(Chart(), title);
        for (const TChartPoint& p : points)
            series->AddXY(p.X, p.Y);
        return series;
    }

    static QByteArray Content(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    static void PutFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QTemporaryDir folder;
    QString video;
    QString companion;
};

} // namespace

TEST_F(CompanionFile, SavedSeriesComeBackWhenTheVideoIsOpenedAgain)
{
    AddSeries("Temperature", {{At(12, 0, 1), 20.5}, {At(12, 0, 2), 21}});
    AddSeries("", {});
    TFastLineSeries* hidden = AddSeries("Latin-1 \xB0" "C", {{At(12, 0, 3), -1}, {At(12, 0, 3), -2}});
    hidden->SetActive(false);
    window->FillLegend();
    window->UpdateControls();
    ASSERT_TRUE(window->sbnSaveData->isEnabled());
    window->sbnSaveData->click();
    ASSERT_TRUE(QFile::exists(companion));
    EXPECT_EQ(QFile(companion).size(), 18 + 3 * 104 + 4 * 16);

    // Another view and start time, then the same video again.
    window->miClearChartData->trigger();
    Axis().SetMinMax(At(12, 0, 30), At(12, 0, 40));
    OpenVideo(90, At(8, 0), video);

    ASSERT_EQ(Chart().SeriesCount(), 4);
    EXPECT_EQ(window->StartTime, At(12, 0));
    EXPECT_EQ(window->DefaultAxisMin, At(12, 0));
    EXPECT_NEAR(window->DefaultAxisMax, At(12, 1, 30), 1e-12);
    EXPECT_EQ(Axis().Minimum(), window->DefaultAxisMin);
    EXPECT_EQ(Axis().Maximum(), window->DefaultAxisMax);
    const QByteArray titles[] = {"Temperature", "", "Latin-1 \xB0" "C"};
    for (int i = 1; i <= 3; ++i) {
        const TFastLineSeries* series = Chart().LineSeries(i);
        EXPECT_EQ(series->Title(), titles[i - 1]);
        EXPECT_EQ(series->SeriesColor(), SeriesColors[i]);
        EXPECT_TRUE(series->Active());
    }
    EXPECT_EQ(Chart().LineSeries(1)->YValue(1), 21);
    EXPECT_EQ(Chart().LineSeries(2)->Count(), 0);
    EXPECT_EQ(Chart().LineSeries(3)->YValue(0), -1);
    EXPECT_EQ(Chart().LineSeries(3)->YValue(1), -2);
    EXPECT_EQ(window->lvwLegend->count(), 3);
    EXPECT_EQ(window->lvwLegend->item(2)->text(), QString::fromLatin1("Latin-1 \xB0" "C"));
    EXPECT_EQ(window->MarkSerie->Y0(), -2);
    EXPECT_EQ(window->MarkSerie->Y1(), 21);
}

// Bytes after the last series and a point count below 0 are no damage: the
// format reads no points for such a count and nothing after the last series.
TEST_F(CompanionFile, BytesAfterTheLastSeriesAndNegativeCountsAreRead)
{
    AddSeries("tail", {{At(12, 0, 1), 1}});
    AddSeries("none", {});
    window->UpdateControls();
    window->sbnSaveData->click();
    const QByteArray saved = Content(companion);
    QByteArray changed = saved + QByteArray(4, 'x');
    qToLittleEndian<qint32>(-5, changed.data() + 18 + 104 + 16 + 100);
    PutFile(companion, changed);
    window->miClearChartData->trigger();

    ModalBoxCatcher boxes;
    OpenVideo(90, At(8, 0), video);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
    ASSERT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(Chart().LineSeries(1)->Title(), "tail");
    EXPECT_EQ(Chart().LineSeries(1)->Count(), 1);
    EXPECT_EQ(Chart().LineSeries(2)->Count(), 0);
    window->sbnSaveData->click();
    EXPECT_EQ(Content(companion), saved) << "read whole, saved as usual";
}

// Another video's series never stay beside those of a refused file, and the
// first save puts the refused file aside instead of writing over it.
TEST_F(CompanionFile, ARefusedFileClearsTheChartAndIsKeptByTheNextSave)
{
    AddSeries("kept", {{At(10, 0, 1), 1}, {At(10, 0, 2), 5}});
    AddSeries("cut", {{At(10, 0, 1), 2}});
    window->UpdateControls();
    window->sbnSaveData->click();
    const QByteArray damaged = Content(companion).chopped(1);
    PutFile(companion, damaged);
    PutFile(companion + QStringLiteral(".damaged"), "an older one");

    // Another video with its own series, then the damaged file's video.
    const QString other = folder.filePath(QStringLiteral("other.mp4"));
    OpenVideo(90, At(8, 0), other);
    window->miClearChartData->trigger();
    AddSeries("Temperature", {{At(12, 0, 1), 20}});
    window->FillLegend();
    window->UpdateControls();
    ModalBoxCatcher boxes;
    player->Duration = 90;
    RunCommand([&] { window->OpenVideoFile(video); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes().at(0).Text,
              QStringLiteral("The file \"%1\" is damaged: series 2 announces 1 points (16 bytes) but only 15 bytes follow.")
                  .arg(companion));
    ASSERT_EQ(Chart().SeriesCount(), 2);
    EXPECT_EQ(Chart().LineSeries(1)->Title(), "kept");
    EXPECT_EQ(window->StartTime, At(12, 0)) << "the time range is read before the series";
    EXPECT_EQ(window->lvwLegend->count(), 1);
    EXPECT_FALSE(window->lvwLegend->isVisible());
    EXPECT_EQ(window->MarkSerie->Y1(), 5) << "the cursor fits what was read";
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    window->sbnSaveData->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Boxes().size() == 2; }));
    const QString kept = companion + QStringLiteral(".damaged.1");
    EXPECT_EQ(boxes.Boxes().at(1).Title, "Information");
    EXPECT_TRUE(boxes.Boxes().at(1).Text.contains(kept)) << boxes.Boxes().at(1).Text.toStdString();
    EXPECT_EQ(Content(kept), damaged);
    EXPECT_EQ(Content(companion + QStringLiteral(".damaged")), "an older one");
    EXPECT_EQ(QFile(companion).size(), 18 + 104 + 32);

    // Once kept, the file is the video's own again: later saves replace it.
    window->sbnSaveData->click();
    QTest::qWait(100);
    EXPECT_EQ(boxes.Boxes().size(), 2);
    EXPECT_FALSE(QFileInfo::exists(companion + QStringLiteral(".damaged.2")));
}

TEST_F(CompanionFile, AWholeFileTooLargeForMemoryIsNeitherPutAsideNorSavedOver)
{
    if (!MemoryRefusesHugeChartData())
        GTEST_SKIP() << "this machine could hand out the memory for the file's points";
    WriteHugeChartDataFile(companion);
    const qint64 size = QFileInfo(companion).size();
    ModalBoxCatcher boxes;
    RunCommand([&] { window->OpenVideoFile(video); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes().at(0).Text.startsWith(
        QStringLiteral("The chart data file \"%1\" does not fit in memory").arg(companion)))
        << boxes.Boxes().at(0).Text.toStdString();

    AddSeries("new", {{At(12, 0, 1), 1}});
    window->UpdateControls();
    window->sbnSaveData->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Boxes().size() == 2; }));
    EXPECT_TRUE(boxes.Boxes().at(1).Text.startsWith(QStringLiteral("The chart data is not saved")))
        << boxes.Boxes().at(1).Text.toStdString();
    EXPECT_EQ(QFileInfo(companion).size(), size);
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.damaged*")}).isEmpty());
}

// Drawing millions of points takes a good part of a second: opening draws
// them once, although the legend appears and narrows the chart.
TEST_F(CompanionFile, OpeningTheVideoDrawsTheChartOnce)
{
    AddSeries("a", {{At(12, 0, 1), 1}});
    AddSeries("b", {{At(12, 0, 2), 2}});
    window->UpdateControls();
    window->sbnSaveData->click();
    window->miClearChartData->trigger();
    QTest::qWait(50);
    const int chartWidth = Chart().width();

    QSignalSpy replots(Chart().Plot(), &QCustomPlot::beforeReplot);
    player->Duration = 90;
    window->OpenVideoFile(video);
    QTest::qWait(200);
    EXPECT_TRUE(window->lvwLegend->isVisible());
    EXPECT_LT(Chart().width(), chartWidth);
    EXPECT_EQ(replots.count(), 1);
}

// A named pipe in place of the companion file would block the window for as
// long as no program writes into it.
TEST_F(CompanionFile, ANamedPipeIsRefusedWithoutWaiting)
{
    AddSeries("Temperature", {{At(12, 0, 1), 20}});
    window->UpdateControls();
    ASSERT_EQ(mkfifo(QFile::encodeName(companion).constData(), 0600), 0);
    ModalBoxCatcher boxes;
    player->Duration = 90;
    RunCommand([&] { window->OpenVideoFile(video); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes().at(0).Text,
              QStringLiteral("Cannot open file \"%1\". It is a named pipe, not a regular file.").arg(companion));
    EXPECT_EQ(Chart().SeriesCount(), 1);
    EXPECT_FALSE(window->sbnSaveData->isEnabled());
}

TEST_F(CompanionFile, AFailedSaveKeepsThePreviousFile)
{
    AddSeries("First", {{At(12, 0, 1), 1}});
    window->UpdateControls();
    window->sbnSaveData->click();
    const QByteArray saved = [&] { QFile f(companion); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    // 255 series fit the file; a 256th cannot be stored.
    for (int i = 0; i < 255; ++i)
        AddChartSeries(Chart(), "More");
    window->UpdateControls();
    ModalBoxCatcher boxes;
    window->sbnSaveData->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Boxes().size() == 1; }));
    EXPECT_EQ(boxes.Boxes().at(0).Title, "Error");
    EXPECT_TRUE(boxes.Boxes().at(0).Text.contains("255"));
    QFile f(companion);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), saved);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(CompanionFile, AVideoNamedLikeItsChartDataFileIsNeverOverwritten)
{
    const QString odd = folder.filePath(QStringLiteral("odd.bcd"));
    {
        QFile file(odd);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not chart data");
    }
    OpenVideo(90, At(12, 0), odd);
    AddSeries("Series", {{At(12, 0, 1), 1}});
    window->UpdateControls();
    ModalBoxCatcher boxes;
    window->sbnSaveData->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Boxes().size() == 1; }));
    QFile file(odd);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "not chart data");
}

TEST_F(CompanionFile, TheCursorMovesToTheStartTimeOfTheFile)
{
    AddSeries("Speed", {{At(12, 0, 1), 1}});
    window->UpdateControls();
    window->sbnSaveData->click();
    ASSERT_TRUE(QFile::exists(companion));

    // Opened again from another start time: the file's start time and the
    // first picture of the video give the cursor's place.
    OpenVideo(90, At(8, 0), video);
    ASSERT_EQ(window->StartTime, At(12, 0));
    EXPECT_EQ(window->MarkSerie->X0(), At(12, 0));
    EXPECT_EQ(window->MarkSerie->X1(), At(12, 0));
    EXPECT_EQ(window->lblCurrentTime->text(), "12:00:00 PM");
}
