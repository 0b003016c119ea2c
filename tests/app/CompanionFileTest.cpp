#include "chartdata/ChartData.h"
#include "chartdata/ChartDataIO.h"
#include "common/MessageBoxes.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ModalBoxCatcher.h"

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>

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

TEST_F(CompanionFile, ADamagedFileLeavesTheChartAsItWas)
{
    AddSeries("Kept", {{At(12, 0, 1), 1}});
    window->FillLegend();
    window->UpdateControls();
    window->sbnSaveData->click();
    QFile file(companion);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.resize(file.size() - 3);
    file.close();
    AddSeries("Also kept", {{At(12, 0, 2), 2}});

    ModalBoxCatcher boxes;
    player->Duration = 90;
    RunCommand([&] { window->OpenVideoFile(video); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes().at(0).Text.contains(companion)) << boxes.Boxes().at(0).Text.toStdString();
    EXPECT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(Chart().LineSeries(2)->Title(), "Also kept");
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
