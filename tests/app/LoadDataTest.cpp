#include "chartdata/ChartData.h"
#include "import/CheckedDateEdit.h"
#include "import/LoadDataForm.h"
#include "import/TestData.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/UiDriver.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>

namespace {

class LoadData : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        OpenVideo(90, At(12, 0));
    }

    TfrmLoadData& Dialog() const { return *window->frmLoadData; }

    // Opens the dialog with "Load Data", lets act work on it, and returns
    // once the dialog has closed.
    void RunDialog(std::function<void(TfrmLoadData&)> act)
    {
        WhenModal([act](QWidget* modal) {
            auto* dialog = qobject_cast<TfrmLoadData*>(modal);
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
        window->sbnOpenData->click();
    }
};

} // namespace

TEST_F(LoadData, TheDialogOpensUnderTheTopPanelWithItsDefaults)
{
    QPoint shownAt;
    RunDialog([&](TfrmLoadData& dialog) {
        shownAt = dialog.pos();
        EXPECT_EQ(dialog.windowTitle(), "Load Chart Data");
        EXPECT_EQ(dialog.size(), QSize(442, 487));
        EXPECT_FALSE(dialog.dtpDate->Checked());
        EXPECT_EQ(dialog.dtpDate->Date(), QDate(2016, 10, 31));
        EXPECT_EQ(dialog.dtpDate->DateEdit()->text(), "31 Oct 2016");
        EXPECT_EQ(dialog.dtpTime->time(), QTime(7, 0));
        // The logger files' tab comes after the four the dialog always had.
        ASSERT_EQ(dialog.PageControl->count(), 5);
        EXPECT_EQ(dialog.PageControl->tabText(3), "Test Data");
        EXPECT_EQ(dialog.PageControl->tabText(4), "Logger File");
        EXPECT_FALSE(dialog.sbnLoadTestData2->isVisibleTo(dialog.TabSheet4));
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(shownAt, window->mapToGlobal(QPoint(0, window->pnlTop->height())));
    // Cancelled: nothing changed, the start time included.
    EXPECT_EQ(Chart().SeriesCount(), 1);
    EXPECT_EQ(window->StartTime, At(12, 0));
    EXPECT_EQ(window->DefaultAxisMin, At(12, 0));
}

TEST_F(LoadData, TheTimePickerShowsEveryTimeWhole)
{
    RunDialog([](TfrmLoadData& dialog) {
        QTimeEdit* picker = dialog.dtpTime;
        EXPECT_EQ(picker->geometry().topLeft(), QPoint(300, 13));
        EXPECT_EQ(picker->height(), 24);
        const QLineEdit* text = picker->findChild<QLineEdit*>();
        ASSERT_NE(text, nullptr);
        const QFontMetrics metrics(text->font());
        for (const QTime time : {QTime(7, 0), QTime(12, 0), QTime(10, 58, 58), QTime(23, 59, 59)}) {
            picker->setTime(time);
            // The line edit keeps a margin of 2 pixels on each side.
            EXPECT_GE(text->contentsRect().width() - 4, metrics.horizontalAdvance(text->text()))
                << text->text().toStdString();
        }
        dialog.reject();
    });
}

TEST_F(LoadData, TestDataSpreadsOverTheVideoFromTheStartTranslationTime)
{
    RunDialog([](TfrmLoadData& dialog) {
        dialog.PageControl->setCurrentWidget(dialog.TabSheet4);
        dialog.sbnLoadTestData3->click();
    });
    ASSERT_EQ(Chart().SeriesCount(), 2);
    const TFastLineSeries& walk = *Chart().LineSeries(1);
    EXPECT_EQ(walk.Title(), "Test data 1");
    EXPECT_EQ(walk.SeriesColor(), SeriesColors[1]);
    EXPECT_EQ(walk.LineWidth(), 2);
    ASSERT_EQ(walk.Count(), 1001);
    EXPECT_EQ(walk.XValue(0), At(7, 0));
    EXPECT_EQ(walk.XValue(1000), At(7, 0) + 90 / SecondsPerDay);
    for (int i = 0; i < walk.Count(); ++i)
        ASSERT_GE(walk.YValue(i), 0) << i;

    // The main window follows the dialog's start time.
    EXPECT_EQ(window->StartTime, At(7, 0));
    EXPECT_EQ(window->DefaultAxisMin, At(7, 0));
    EXPECT_EQ(Axis().Minimum(), At(7, 0));
    EXPECT_NEAR(Axis().Maximum(), At(7, 1, 30), 1e-12);
    EXPECT_FALSE(window->lvwLegend->isVisible());
    EXPECT_TRUE(window->sbnSaveData->isEnabled());
    EXPECT_EQ(window->MarkSerie->Y0(), Chart().LeftAxis().Minimum());

    // A ticked date puts the window on that date; the dialog kept its tab.
    RunDialog([](TfrmLoadData& dialog) {
        EXPECT_EQ(dialog.PageControl->currentWidget(), dialog.TabSheet4);
        dialog.dtpDate->SetChecked(true);
        dialog.dtpTime->setTime(QTime(9, 30));
        dialog.sbnLoadTestData3->click();
    });
    ASSERT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(Chart().LineSeries(2)->Title(), "Test data 2");
    const TDateTime start = EncodeDate(QDate(2016, 10, 31)) + At(9, 30);
    EXPECT_EQ(Chart().LineSeries(2)->XValue(0), start);
    EXPECT_EQ(window->StartTime, start);
    EXPECT_TRUE(window->lvwLegend->isVisible());
    EXPECT_EQ(window->lvwLegend->count(), 2);

    RunDialog([](TfrmLoadData& dialog) {
        EXPECT_TRUE(dialog.dtpDate->Checked());
        EXPECT_EQ(dialog.dtpTime->time(), QTime(9, 30));
        dialog.reject();
    });
    EXPECT_EQ(Chart().SeriesCount(), 3);
}

TEST_F(LoadData, TheCursorStaysOnThePictureOnScreenWhenTheStartTimeChanges)
{
    player->ReportPosition(30);
    ASSERT_EQ(window->lblCurrentTime->text(), "12:00:30 PM");
    RunDialog([](TfrmLoadData& dialog) {
        dialog.PageControl->setCurrentWidget(dialog.TabSheet4);
        dialog.dtpTime->setTime(QTime(7, 0));
        dialog.sbnLoadTestData3->click();
    });
    ASSERT_EQ(window->StartTime, At(7, 0));
    EXPECT_NEAR(window->MarkSerie->X0(), At(7, 0, 30), 1e-12);
    EXPECT_EQ(window->MarkSerie->X1(), window->MarkSerie->X0());
    EXPECT_EQ(window->lblCurrentTime->text(), "7:00:30 AM");

    // A cancelled dialog moves nothing.
    RunDialog([](TfrmLoadData& dialog) {
        dialog.dtpTime->setTime(QTime(9, 0));
        dialog.reject();
    });
    EXPECT_NEAR(window->MarkSerie->X0(), At(7, 0, 30), 1e-12);
}

TEST(TestData, SinesStayInRangeAndAZeroLengthVideoStacksThePoints)
{
    TRandom random(42);
    const TLoadWindow window{At(7, 0), At(7, 1, 30)};
    for (int run = 0; run < 20; ++run) {
        const auto sines = SineTestData(window, random);
        ASSERT_EQ(sines.size(), 1001u);
        EXPECT_EQ(sines.front().X, window.Start);
        EXPECT_EQ(sines.back().X, window.End);
        for (const TChartPoint& p : sines) {
            ASSERT_GE(p.Y, -60);
            ASSERT_LE(p.Y, 63);
        }
    }
    const auto stacked = RandomWalkTestData({At(7, 0), At(7, 0)}, random);
    ASSERT_EQ(stacked.size(), 1001u);
    for (const TChartPoint& p : stacked)
        ASSERT_EQ(p.X, At(7, 0));
}

TEST(LoadWindow, DatesBeforeDayZeroKeepTheirDate)
{
    EXPECT_EQ(StartTranslationTime(false, 42674, At(7, 0)), At(7, 0));
    EXPECT_EQ(StartTranslationTime(true, 42674, At(7, 0)), 42674 + At(7, 0));
    EXPECT_EQ(StartTranslationTime(true, -10, At(6, 0)), -10.25);
    const TLoadWindow window = MakeLoadWindow(At(23, 59), 120);
    EXPECT_NEAR(window.End, 1 + At(0, 1), 1e-12);
    EXPECT_TRUE(window.Contains(window.Start));
    EXPECT_TRUE(window.Contains(window.End));
    EXPECT_FALSE(window.Contains(window.End + 1e-9));
}
