// The file beside the video that keeps the videos added to it: never the
// video itself, never lost when it cannot be read, never thinned by videos
// that cannot be opened today.
#include "chartdata/ChartData.h"
#include "common/MessageBoxes.h"
#include "multivideo/VideoArrangement.h"
#include "multivideo/VideoSet.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

class ArrangementFile : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(folder.isValid());
        video = folder.filePath(QStringLiteral("main.mp4"));
        arrangement = folder.filePath(QStringLiteral("main.plotreel"));
    }

    // Saves with the button and waits for the box it shows, if any.
    void Save(ModalBoxCatcher& boxes, int boxesAfter)
    {
        window->sbnSaveData->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Boxes().size() == boxesAfter; }, 2000))
            << boxes.Texts().join("\n").toStdString();
    }

    QTemporaryDir folder;
    QString video;
    QString arrangement;
};

} // namespace

TEST_F(ArrangementFile, AVideoWhoseNameEndsInPlotreelIsNeverWrittenAsItsOwnArrangement)
{
    const QString named = folder.filePath(QStringLiteral("run.plotreel"));
    PutFile(named, "frames");
    ModalBoxCatcher boxes;
    RunCommand([&] { OpenVideo(60, 0, named); });
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join("\n").toStdString();
    window->Videos().Add({folder.filePath(QStringLiteral("side.mp4")), 0.5}, 0, false);
    Save(boxes, 0);
    EXPECT_EQ(FileContent(named), "frames");
    EXPECT_EQ(LoadArrangement(named).Videos.size(), 1);

    // Without added videos, a save (of a series) removes the arrangement,
    // not the video.
    window->Videos().Remove(0);
    AddChartSeries(Chart(), "Temperature")->AddXY(At(0, 0, 1), 20);
    window->UpdateControls();
    Save(boxes, 0);
    EXPECT_EQ(FileContent(named), "frames");
    EXPECT_FALSE(QFile::exists(named + QStringLiteral(".plotreel")));
}

TEST_F(ArrangementFile, OneThatCouldNotBeReadIsSetAsideByTheNextSaveAndSaidSo)
{
    const QByteArray damaged = R"({"videos": [{"path": "side.mp4", "offset": 0.5}, )";
    PutFile(arrangement, damaged);
    ModalBoxCatcher boxes;
    RunCommand([&] { OpenVideo(60, 0, video); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].Text.startsWith(QStringLiteral("The video arrangement \"%1\" cannot be read").arg(arrangement)));
    EXPECT_TRUE(boxes.Boxes()[0].Text.contains(QStringLiteral("kept"))) << boxes.Boxes()[0].Text.toStdString();
    EXPECT_EQ(window->VideoFileName, video);

    window->Videos().Add({folder.filePath(QStringLiteral("top.mp4")), 0.25}, 0, false);
    Save(boxes, 2);
    const QString kept = arrangement + QStringLiteral(".damaged");
    EXPECT_EQ(boxes.Boxes()[1].Title, "Information");
    EXPECT_TRUE(boxes.Boxes()[1].Text.contains(kept)) << boxes.Boxes()[1].Text.toStdString();
    EXPECT_EQ(FileContent(kept), damaged);
    ASSERT_EQ(LoadArrangement(video).Videos.size(), 1);
    EXPECT_EQ(LoadArrangement(video).Videos[0].FileName, folder.filePath(QStringLiteral("top.mp4")));

    // Set aside once; the next save writes over the video's own file.
    Save(boxes, 2);
    EXPECT_FALSE(QFile::exists(kept + QStringLiteral(".1")));
}

// A drive that is not mounted today, or more videos than fit on screen: what
// is not shown keeps its place and offset, and sections of a newer program
// stay.
TEST_F(ArrangementFile, VideosNotShownAndUnknownSectionsSurviveASave)
{
    const QString gone = folder.filePath(QStringLiteral("gone.mp4"));
    player->Unplayable[gone] = QStringLiteral("The file \"%1\" does not exist.").arg(gone);
    const QByteArray text = R"({"marks": [{"time": 2, "text": "impact"}], "videos": [
        {"path": "gone.mp4", "offset": 0.3, "rate": 1000},
        {"path": "a.mp4", "offset": 1}, {"path": "b.mp4", "offset": 2},
        {"path": "c.mp4", "offset": 3}, {"path": "d.mp4", "offset": 4}]})";
    PutFile(arrangement, text);
    ModalBoxCatcher boxes;
    RunCommand([&] { OpenVideo(60, 0, video); });
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes()[0].Text.contains(QStringLiteral("\"gone.mp4\""))) << boxes.Boxes()[0].Text.toStdString();
    EXPECT_TRUE(boxes.Boxes()[0].Text.contains(QStringLiteral("\"d.mp4\" is not shown")));
    ASSERT_EQ(window->Videos().Count(), MaxAddedVideos);

    // The user moves a shown video and saves.
    window->Videos().Select(1);
    window->Videos().NudgeSelected(0.5, 0, false);
    Save(boxes, 1);
    const QJsonObject saved = QJsonDocument::fromJson(FileContent(arrangement)).object();
    EXPECT_EQ(saved.value("marks"), QJsonDocument::fromJson(text).object().value("marks"));
    QStringList entries;
    for (const QJsonValue& entry : saved.value("videos").toArray())
        entries << QString::fromUtf8(QJsonDocument(entry.toObject()).toJson(QJsonDocument::Compact));
    entries.sort();
    EXPECT_EQ(entries.join(' '), QStringLiteral(R"({"offset":0.3,"path":"gone.mp4","rate":1000} )"
                                                R"({"offset":1,"path":"a.mp4"} {"offset":2.5,"path":"b.mp4"} )"
                                                R"({"offset":3,"path":"c.mp4"} {"offset":4,"path":"d.mp4"})"));
}
