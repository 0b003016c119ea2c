// Series not saved yet: a question before opening another video or closing
// the window would lose them, and Ctrl+Z after "Delete" and "Clear Chart
// Data" until the next load or save.
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataFile.h"
#include "chartdata/ChartDataIO.h"
#include "common/MessageBoxes.h"
#include "import/LoadDataForm.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/UiDriver.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class UnsavedData : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(folder.isValid());
        video = folder.filePath(QStringLiteral("run.mp4"));
        other = folder.filePath(QStringLiteral("other.mp4"));
        // The other video has a file of its own, whose series would take the
        // place of those on the chart.
        TChart stored;
        stored.AddSeries(std::make_unique<TChartShape>());
        AddChartSeries(stored, "stored")->AddXY(At(8, 0, 1), 1);
        SaveChartDataFile(stored, At(8, 0), At(8, 1, 30), ChartDataFileName(other));
        OpenVideo(90, At(12, 0), video);
    }

    // "Load Data" with the test data generator: one series of 1001 points.
    void LoadTestData()
    {
        WhenModal([](QWidget* modal) {
            auto* dialog = qobject_cast<TfrmLoadData*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->PageControl->setCurrentWidget(dialog->TabSheet4);
            dialog->sbnLoadTestData3->click();
        });
        window->sbnOpenData->click();
    }

    QStringList Titles() const
    {
        QStringList titles;
        for (int i = 1; i < Chart().SeriesCount(); ++i)
            titles << QString::fromUtf8(Chart().LineSeries(i)->Title());
        return titles;
    }

    void PressUndo() { QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier); }

    QTemporaryDir folder;
    QString video;
    QString other;
};

} // namespace

TEST_F(UnsavedData, OpeningAVideoWhoseFileWouldReplaceThemAsksFirst)
{
    const struct {
        QMessageBox::StandardButton Answer;
        const char* OpenVideo;
        const char* Titles;
        bool Saved;
    } cases[] = {
        {QMessageBox::Cancel, "run.mp4", "Test data 1", false},
        {QMessageBox::Discard, "other.mp4", "stored", false},
        {QMessageBox::Save, "other.mp4", "stored", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.OpenVideo);
        OpenVideo(90, window->StartTime, video);
        window->miClearChartData->trigger();
        LoadTestData();
        ASSERT_EQ(Titles(), QStringList{"Test data 1"});
        ModalBoxCatcher boxes(c.Answer);
        RunCommand([&] { window->OpenVideoFile(other); });
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes()[0].Text, "Save the chart data of run.mp4?");
        EXPECT_EQ(window->VideoFileName, folder.filePath(QString::fromLatin1(c.OpenVideo)));
        EXPECT_EQ(player->OpenedFile, window->VideoFileName);
        EXPECT_EQ(Titles(), QStringList{QString::fromLatin1(c.Titles)});
        EXPECT_EQ(QFile::exists(ChartDataFileName(video)), c.Saved);
    }
    // Just read from its file, the chart has nothing unsaved: no question.
    ModalBoxCatcher boxes(QMessageBox::Cancel);
    OpenVideo(90, window->StartTime, video);
    OpenVideo(90, window->StartTime, other);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join("\n").toStdString();
}

// A video without a file of its own keeps the series on the chart: nothing
// is lost, nothing asked.
TEST_F(UnsavedData, AVideoWithoutAFileOfItsOwnKeepsThemWithoutAQuestion)
{
    LoadTestData();
    ModalBoxCatcher boxes(QMessageBox::Cancel);
    OpenVideo(90, window->StartTime, folder.filePath(QStringLiteral("third.mp4")));
    EXPECT_TRUE(boxes.Texts().isEmpty());
    EXPECT_EQ(Titles(), QStringList{"Test data 1"});
}

TEST_F(UnsavedData, ClosingTheWindowAsksAndCancelKeepsItOpen)
{
    LoadTestData();
    {
        ModalBoxCatcher boxes(QMessageBox::Cancel);
        EXPECT_FALSE(window->close());
        ASSERT_EQ(boxes.Boxes().size(), 1);
        EXPECT_EQ(boxes.Boxes()[0].Text, "Save the chart data of run.mp4?");
        EXPECT_TRUE(window->isVisible());
    }
    // Renamed after a save: unsaved again.
    window->sbnSaveData->click();
    window->lvwLegendEdited(0, QStringLiteral("Walk"));
    {
        ModalBoxCatcher boxes(QMessageBox::Save);
        EXPECT_TRUE(window->close());
        EXPECT_EQ(boxes.Boxes().size(), 1);
    }
    TChart saved;
    TChartDataFileReader(ChartDataFileName(video)).AppendSeries(saved);
    ASSERT_EQ(saved.SeriesCount(), 1);
    EXPECT_EQ(saved.LineSeries(0)->Title(), "Walk");
}

TEST_F(UnsavedData, CtrlZPutsBackWhatDeleteAndClearRemovedUntilTheNextSaveOrLoad)
{
    for (const char* title : {"A", "B", "C"})
        AddChartSeries(Chart(), title)->AddXY(At(12, 0, 1), 1);
    window->FillLegend();
    window->UpdateControls();
    window->sbnSaveData->click();

    window->lvwLegend->setCurrentRow(1);
    window->miDelete->trigger();
    window->miClearChartData->trigger();
    ASSERT_EQ(Chart().SeriesCount(), 1);
    PressUndo();
    EXPECT_EQ(Titles(), (QStringList{"A", "C"}));
    EXPECT_EQ(window->lvwLegend->count(), 2);
    PressUndo();
    EXPECT_EQ(Titles(), (QStringList{"A", "B", "C"}));
    EXPECT_EQ(Chart().LineSeries(2)->Count(), 1);
    EXPECT_EQ(Chart().LineSeries(2)->SeriesColor(), SeriesColors[2]);
    EXPECT_TRUE(window->lvwLegend->isVisible());
    PressUndo();
    EXPECT_EQ(Chart().SeriesCount(), 4);

    // A save ends what can be undone.
    window->lvwLegend->setCurrentRow(0);
    window->miDelete->trigger();
    window->sbnSaveData->click();
    PressUndo();
    EXPECT_EQ(Titles(), (QStringList{"B", "C"}));

    // So does a load.
    window->miClearChartData->trigger();
    LoadTestData();
    PressUndo();
    EXPECT_EQ(Titles(), QStringList{"Test data 1"});

    // Undone back to what was saved, the chart has nothing to ask about.
    window->sbnSaveData->click();
    window->miClearChartData->trigger();
    PressUndo();
    ModalBoxCatcher boxes(QMessageBox::Cancel);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join("\n").toStdString();
}
