#include "app/CommandLine.h"
#include "common/RecentFolders.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/UiDriver.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUrl>

namespace {

class Outside : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(folder.isValid());
        video = folder.filePath(QStringLiteral("clip.mp4"));
        QFile(video).open(QIODevice::WriteOnly);
    }

    // Drags data that the source offers with these actions over the window's
    // middle and drops it; the action the window took, IgnoreAction when it
    // refused the drag.
    Qt::DropAction Drop(const QMimeData& data, Qt::DropActions actions = Qt::CopyAction)
    {
        const QPoint middle = window->rect().center();
        QDragEnterEvent enter(middle, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent drop(QPointF(middle), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }

    QTemporaryDir folder;
    QString video;
};

} // namespace

TEST_F(Outside, TheCommandLineOpensItsFileOnceTheWindowIsUp)
{
    OpenCommandLineVideo(*window, {QStringLiteral("plotreel")});
    QTest::qWait(20);
    EXPECT_TRUE(player->OpenedFile.isEmpty());

    // A name relative to the working folder is made whole, so that the
    // companion file lies beside the video.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    OpenCommandLineVideo(*window, {QStringLiteral("plotreel"), QStringLiteral("clip.mp4")});
    QDir::setCurrent(previous);
    ASSERT_TRUE(QTest::qWaitFor([&] { return player->OpenedFile == video; }));
    EXPECT_EQ(window->VideoFileName, video);
    EXPECT_TRUE(Chart().isEnabled());
}

TEST_F(Outside, ABadFileFromTheCommandLineShowsTheSameBoxAsTheDialog)
{
    player->FailWith = QStringLiteral("The video or audio codec is not supported.");
    ModalBoxCatcher boxes;
    OpenCommandLineVideo(*window, {QStringLiteral("plotreel"), video});
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.Boxes().size() == 1; }));
    EXPECT_EQ(boxes.Boxes().at(0).Title, "Error");
    EXPECT_EQ(boxes.Boxes().at(0).Text, player->FailWith);
    EXPECT_FALSE(Chart().isEnabled());
}

TEST_F(Outside, AFileDroppedOnTheWindowOpensAsTheVideo)
{
    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    EXPECT_EQ(Drop(text), Qt::IgnoreAction);
    QMimeData remote;
    remote.setUrls({QUrl(QStringLiteral("https://www.vorlan.example/clip.mp4"))});
    EXPECT_EQ(Drop(remote), Qt::IgnoreAction);

    // The file is copied or linked, never moved away from where it lies,
    // whatever the source proposes.
    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(video)});
    EXPECT_EQ(Drop(file, Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_EQ(Drop(file, Qt::MoveAction | Qt::LinkAction), Qt::LinkAction);
    EXPECT_EQ(Drop(file, Qt::MoveAction | Qt::CopyAction | Qt::LinkAction), Qt::CopyAction);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->VideoFileName == video; }));
    EXPECT_EQ(player->OpenedFile, video);
}

TEST_F(Outside, TheVideoDialogStartsInTheFolderItLastTookAFileFrom)
{
    AnswerFileDialog(video);
    window->sbnOpenVideo->click();
    ASSERT_EQ(player->OpenedFile, video);

    // Kept in the settings, so a window of the next run has it too.
    window = std::make_unique<TfrmMain>(std::make_unique<FakeVideoPlayer>());
    window->show();
    QString startedIn;
    WhenModal([&](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal))
            startedIn = dialog->directory().absolutePath();
        modal->close();
    });
    window->sbnOpenVideo->click();
    EXPECT_EQ(startedIn, QDir(folder.path()).absolutePath());
}

TEST_F(Outside, TheWindowComesBackWithItsSizeAndPlace)
{
    window->setGeometry(QRect(QPoint(40, 50), QSize(700, 600)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->size() == QSize(700, 600); }));
    const QRect closedAt = window->geometry();
    window->close();

    TfrmMain next(std::make_unique<FakeVideoPlayer>());
    next.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
    EXPECT_EQ(next.size(), QSize(700, 600));
    EXPECT_EQ(next.geometry(), closedAt);
    QSettings().remove(QStringLiteral("MainWindow"));
}
