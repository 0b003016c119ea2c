#include "chartdata/ChartData.h"
#include "chartdata/SeriesTitle.h"
#include "derived/ChartFormulas.h"
#include "derived/FormulaDialog.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/UiDriver.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// Three series at 10:00:10, :11 and :12: "ax" 1 2 3, "Pressure B" 10 20 30,
// "Pressure C" 5 5 5.
class DerivedSeries : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        OpenVideo(60, At(10, 0));
        const char* titles[] = {"ax", "Pressure B", "Pressure C"};
        const double values[][3] = {{1, 2, 3}, {10, 20, 30}, {5, 5, 5}};
        for (int i = 0; i < 3; ++i) {
            TFastLineSeries* series = AddChartSeries(Chart(), titles[i]);
            for (int k = 0; k < 3; ++k)
                series->AddXY(At(10, 0, 10 + k), values[i][k]);
        }
        window->FitCursorHeight();
        window->FillLegend();
        window->UpdateControls();
    }

    // Answers the formula dialog that the next command opens.
    void Answer(const QString& formula, const QString& title = {}, const QString& unit = {})
    {
        WhenModal([=](QWidget* modal) {
            auto* dialog = qobject_cast<TfrmFormula*>(modal);
            ASSERT_TRUE(dialog);
            dialog->edtFormula->setText(formula);
            dialog->edtTitle->setText(title);
            dialog->edtUnit->setText(unit);
            dialog->btnAdd->click();
        });
    }

    std::vector<double> Values(int index) const
    {
        std::vector<double> values;
        for (int i = 0; i < Chart().LineSeries(index)->Count(); ++i)
            values.push_back(Chart().LineSeries(index)->YValue(i));
        return values;
    }

    void SelectInLegend(int row) { window->lvwLegend->setCurrentRow(row); }
};

} // namespace

TEST_F(DerivedSeries, AFormulaBecomesASeriesWithItsTitleAndUnitInTheLegend)
{
    Answer("ax * 2 + a2", "Sum", "bar");
    window->miNewFormula->trigger();
    ASSERT_EQ(Chart().SeriesCount(), 5);
    EXPECT_EQ(TitleToDisplay(Chart().LineSeries(4)->Title()), "Sum [bar]");
    EXPECT_EQ(Values(4), (std::vector<double>{12, 24, 36}));
    ASSERT_EQ(window->lvwLegend->count(), 4);
    EXPECT_EQ(window->lvwLegend->item(3)->text(), "Sum [bar]");
    EXPECT_EQ(window->lvwLegend->item(3)->toolTip(), "= ax * 2 + a2");
    EXPECT_EQ(window->lvwLegend->item(0)->toolTip(), "");
}

TEST_F(DerivedSeries, AFormulaThatCannotBeReadKeepsTheDialogOpenWithTheProblemAndAddsNothing)
{
    QString shown;
    int cursor = -1;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TfrmFormula*>(modal);
        ASSERT_TRUE(dialog);
        dialog->edtFormula->setText("ax + bx");
        dialog->btnAdd->click();
        shown = dialog->lblMessage->isVisible() ? dialog->lblMessage->text() : QString();
        cursor = dialog->edtFormula->cursorPosition();
        EXPECT_TRUE(dialog->isVisible());
        dialog->reject();
    });
    window->miNewFormula->trigger();
    EXPECT_EQ(shown, "unknown series 'bx' at column 6.");
    EXPECT_EQ(cursor, 5);
    EXPECT_EQ(Chart().SeriesCount(), 4);
}

TEST_F(DerivedSeries, EditFormulaFollowsItsSeriesWhenOthersAreDeletedAndSaysWhenOneIsGone)
{
    Answer("a3 - ax", "Difference");
    window->miNewFormula->trigger();
    ASSERT_EQ(Values(4), (std::vector<double>{4, 3, 2}));

    // "Pressure B" goes: "Pressure C" is a2 now, and the formula says so.
    SelectInLegend(1);
    window->miDelete->trigger();
    QString formula;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TfrmFormula*>(modal);
        formula = dialog->edtFormula->text();
        dialog->edtFormula->setText("(" + formula + ") * 10");
        dialog->btnAdd->click();
    });
    SelectInLegend(2);
    window->miEditFormula->trigger();
    EXPECT_EQ(formula, "a2 - ax");
    EXPECT_EQ(Values(3), (std::vector<double>{40, 30, 20}));
    EXPECT_EQ(TitleToDisplay(Chart().LineSeries(3)->Title()), "Difference");

    // "ax" goes: the series keeps its points, and the dialog says why it
    // cannot be made again as it stands.
    SelectInLegend(0);
    window->miDelete->trigger();
    QString notes;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TfrmFormula*>(modal);
        formula = dialog->edtFormula->text();
        notes = dialog->lblMessage->text();
        dialog->btnAdd->click(); // the name of the deleted series is unknown
        EXPECT_EQ(dialog->lblMessage->text(), "unknown series 'deleted_ax' at column 7.");
        dialog->reject();
    });
    SelectInLegend(1);
    window->miEditFormula->trigger();
    EXPECT_EQ(formula, "(a1 - deleted_ax) * 10");
    EXPECT_EQ(notes, "\"Difference\" cannot be made again from its formula as it stands:\n"
                     "The series \"ax\", which the formula names ax, was deleted.");
    EXPECT_EQ(Values(2), (std::vector<double>{40, 30, 20}));
    EXPECT_TRUE(window->lvwLegend->item(1)->toolTip().contains("was deleted"));
}

TEST_F(DerivedSeries, TheFormulaIsKeptBesideTheVideoAndComesBackToBeEdited)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString video = dir.filePath("run.mp4");
    OpenVideo(60, At(10, 0), video); // no chart data file: the series stay
    Answer("a3 - ax", "Difference", "bar");
    window->miNewFormula->trigger();
    window->sbnSaveDataClick();
    QFile file(dir.filePath("run.plotreel"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("\"formulas\""));

    OpenVideo(60, At(10, 0), video);
    ASSERT_EQ(Chart().SeriesCount(), 5);
    EXPECT_EQ(Values(4), (std::vector<double>{4, 3, 2}));
    QString formula, title, unit;
    WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<TfrmFormula*>(modal);
        formula = dialog->edtFormula->text();
        title = dialog->edtTitle->text();
        unit = dialog->edtUnit->text();
        dialog->edtFormula->setText("a3 + ax");
        dialog->btnAdd->click();
    });
    SelectInLegend(3);
    window->miEditFormula->trigger();
    EXPECT_EQ(formula, "a3 - ax");
    EXPECT_EQ(title, "Difference");
    EXPECT_EQ(unit, "bar");
    EXPECT_EQ(Values(4), (std::vector<double>{6, 7, 8}));
}
