#include "chartdata/ChartData.h"
#include "chartdata/SeriesTitle.h"
#include "tests/app/MainWindowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>

namespace {

class Legend : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        OpenVideo(60, At(10, 0));
        const double values[][2] = {{1, 5}, {-10, 0}, {100, 200}};
        for (int i = 0; i < 3; ++i) {
            TFastLineSeries* series = AddChartSeries(Chart(), "Series " + QByteArray::number(i + 1));
            series->AddXY(At(10, 0, 10), values[i][0]);
            series->AddXY(At(10, 0, 20), values[i][1]);
        }
        window->FitCursorHeight();
        window->FillLegend();
        window->UpdateControls();
    }

    QListWidget* List() const { return window->lvwLegend; }
    QStringList Captions() const
    {
        QStringList captions;
        for (int i = 0; i < List()->count(); ++i)
            captions << List()->item(i)->text();
        return captions;
    }
    QStringList Titles() const
    {
        QStringList titles;
        for (int i = 1; i < Chart().SeriesCount(); ++i)
            titles << TitleToDisplay(Chart().LineSeries(i)->Title());
        return titles;
    }
    void Select(int row) { List()->setCurrentRow(row); }
};

} // namespace

TEST_F(Legend, ListsTheSeriesInOrderWithTheirColours)
{
    EXPECT_TRUE(List()->isVisible());
    EXPECT_EQ(List()->width(), 118);
    EXPECT_EQ(Captions(), QStringList({"Series 1", "Series 2", "Series 3"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(List()->item(i)->checkState(), Qt::Checked);
    EXPECT_EQ(Chart().LineSeries(2)->SeriesColor(), SeriesColors[2]);

    // The swatch in the icon slot has the series' colour.
    const QImage picture = List()->viewport()->grab().toImage();
    const QRect row = List()->visualItemRect(List()->item(1));
    bool found = false;
    for (int x = row.left(); x < row.right() && !found; ++x)
        found = picture.pixelColor(x, row.center().y()) == SeriesColors[2];
    EXPECT_TRUE(found);
}

TEST_F(Legend, UntickingHidesASeriesAndRefitsTheCursor)
{
    EXPECT_EQ(window->MarkSerie->Y0(), -10);
    EXPECT_EQ(window->MarkSerie->Y1(), 200);
    List()->item(2)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(Chart().LineSeries(3)->Active());
    EXPECT_EQ(window->MarkSerie->Y0(), -10);
    EXPECT_EQ(window->MarkSerie->Y1(), 5);
    List()->item(2)->setCheckState(Qt::Checked);
    EXPECT_TRUE(Chart().LineSeries(3)->Active());
    EXPECT_EQ(window->MarkSerie->Y1(), 200);
}

TEST_F(Legend, DeleteRemovesTheSelectedSeriesOnly)
{
    window->miDelete->trigger();  // nothing selected: nothing happens
    EXPECT_EQ(Chart().SeriesCount(), 4);

    Select(1);
    window->miDelete->trigger();
    EXPECT_EQ(Titles(), QStringList({"Series 1", "Series 3"}));
    EXPECT_EQ(Captions(), Titles());
    EXPECT_TRUE(List()->isVisible());
    EXPECT_EQ(window->MarkSerie->Y0(), 1);
    EXPECT_EQ(window->MarkSerie->Y1(), 200);

    Select(0);
    window->miDelete->trigger();
    EXPECT_EQ(Titles(), QStringList({"Series 3"}));
    EXPECT_FALSE(List()->isVisible());
    EXPECT_TRUE(Chart().LineSeries(1)->Active());
    EXPECT_TRUE(window->sbnSaveData->isEnabled());
}

TEST_F(Legend, RenamingInPlaceRetitlesTheSeries)
{
    window->miEdit->trigger();  // nothing selected: no editor
    QTest::qWait(20);
    EXPECT_EQ(List()->viewport()->findChild<QLineEdit*>(), nullptr);

    Select(1);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_F2);
    QLineEdit* editor = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (editor = List()->viewport()->findChild<QLineEdit*>()) != nullptr; }));
    editor->selectAll();
    editor->insert(QString::fromUtf8("Drück °C"));
    QTest::keyClick(editor, Qt::Key_Return);
    const QByteArray utf8("Dr\xC3\xBC" "ck \xC2\xB0" "C");
    ASSERT_TRUE(QTest::qWaitFor([&] { return Chart().LineSeries(2)->Title() == utf8; }))
        << Chart().LineSeries(2)->Title().toStdString();
    EXPECT_EQ(List()->item(1)->text(), QString::fromUtf8("Drück °C"));

    window->lvwLegendEdited(0, QString());
    EXPECT_EQ(Chart().LineSeries(1)->Title(), QByteArray());
}

TEST_F(Legend, ClearChartDataRemovesEverySeriesButKeepsTheView)
{
    Axis().SetMinMax(At(10, 0, 10), At(10, 0, 40));
    window->miClearChartData->trigger();
    EXPECT_EQ(Chart().SeriesCount(), 1);
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(List()->isVisible());
    EXPECT_FALSE(window->sbnSaveData->isEnabled());
    EXPECT_NEAR(Axis().Minimum(), At(10, 0, 10), 1e-12);
    EXPECT_EQ(window->MarkSerie->Y1(), 200);  // the cursor is not refitted
    window->miClearChartData->trigger();      // again: nothing left to clear
    EXPECT_EQ(Chart().SeriesCount(), 1);
}
