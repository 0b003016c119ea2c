#include "import/LoggerLoad.h"
#include "import/LoggerTreeModel.h"
#include "tests/import/LoadDialogFixture.h"
#include "tests/support/ForeignLoggerFiles.h"
#include "tests/support/ModalBoxCatcher.h"

#include <QDateTimeEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

class LoggerTab : public LoadDialog {
protected:
    // Ticks a channel as a click on its box does.
    static void Tick(TfrmLoadData& dialog, int node)
    {
        const QModelIndex index = dialog.LoggerChannels->IndexOf(node);
        ASSERT_TRUE(index.isValid());
        dialog.LoggerChannels->setData(index, Qt::Checked, Qt::CheckStateRole);
    }

    static int NodeNamed(const TfrmLoadData& dialog, const QString& name)
    {
        const std::vector<TLoggerNode>& nodes = dialog.LoggerFile->Nodes();
        for (std::size_t i = 0; i < nodes.size(); ++i)
            if (nodes[i].Name == name)
                return int(i);
        ADD_FAILURE() << "no channel " << name.toStdString();
        return -1;
    }

    static QStringList Spans(const TfrmLoadData& dialog)
    {
        QStringList spans;
        for (int i = 0; i < dialog.lstLoggerSpans->count(); ++i)
            spans << dialog.lstLoggerSpans->item(i)->text();
        return spans;
    }
};

std::vector<TLoggerNode> Tree()
{
    // engine { speed, rpm }, gearbox { speed, oil { temperature } }, label
    return {
        {-1, false, "engine", {}, {}, 0, {}},    {0, true, "speed", "km/h", {}, 10, {}},
        {0, true, "rpm", {}, {}, 10, {}},        {-1, false, "gearbox", {}, {}, 0, {}},
        {3, true, "speed", "m/s", {}, 10, {}},   {3, false, "oil", {}, {}, 0, {}},
        {5, true, "temperature", "C", {}, 10, {}}, {-1, true, "label", {}, {}, 1, "it holds text"},
    };
}

QStringList Shown(const TLoggerTreeModel& model, const QModelIndex& parent = {})
{
    QStringList shown;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        EXPECT_EQ(model.parent(index), parent);
        shown << index.data().toString();
        for (const QString& inner : Shown(model, index))
            shown << index.data().toString() + "/" + inner;
    }
    return shown;
}

} // namespace

// The filter keeps the channels whose name or group holds the text, with
// their groups; ticks stay through it; what cannot be loaded cannot be
// ticked and says why.
TEST(LoggerTreeModel, FiltersKeepingGroupsAndTicks)
{
    TLoggerTreeModel model;
    model.SetNodes(Tree());
    struct TCase {
        const char* Filter;
        QStringList Shown;
    };
    const TCase cases[] = {
        {"", {"engine", "engine/speed", "engine/rpm", "gearbox", "gearbox/speed", "gearbox/oil",
              "gearbox/oil/temperature", "label"}},
        {"SPEED", {"engine", "engine/speed", "gearbox", "gearbox/speed"}},
        {"oil", {"gearbox", "gearbox/oil", "gearbox/oil/temperature"}},
        {"temp", {"gearbox", "gearbox/oil", "gearbox/oil/temperature"}},
        {"nothing", {}},
    };
    model.SetTicked(6, true);
    for (const TCase& c : cases) {
        model.SetFilter(QString::fromLatin1(c.Filter));
        EXPECT_EQ(Shown(model), c.Shown) << c.Filter;
        EXPECT_EQ(model.Ticked(), std::vector<int>{6}) << c.Filter;
    }
    model.SetFilter({});
    const QModelIndex label = model.IndexOf(7);
    EXPECT_FALSE(model.flags(label) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.setData(label, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(label.data(Qt::ToolTipRole).toString(), "Cannot be loaded: it holds text");
    EXPECT_FALSE(model.flags(model.IndexOf(0)) & Qt::ItemIsUserCheckable);
    EXPECT_EQ(model.IndexOf(1, TLoggerTreeModel::UnitColumn).data().toString(), "km/h");
}

TEST(LoggerSeriesTitles, NameTheGroupWhereTheNameIsNotUnique)
{
    EXPECT_EQ(LoggerSeriesTitles(Tree(), {1, 2, 4, 6}),
              (QStringList{"speed (engine) [km/h]", "rpm", "speed (gearbox) [m/s]", "temperature [C]"}));
}

TEST_F(LoggerTab, StandsAfterTheTestDataTab)
{
    const TfrmLoadData& dialog = *window->frmLoadData;
    const int index = dialog.PageControl->indexOf(dialog.TabSheet5);
    EXPECT_EQ(index, dialog.PageControl->indexOf(dialog.TabSheet4) + 1);
    EXPECT_EQ(dialog.PageControl->tabText(index), "Logger File");
    EXPECT_EQ(dialog.sbnLoadLoggerData->text(), "Load Logger Data");
}

// The tab selects a file, ticks a channel against the file's time vector and
// loads the samples in the window as one series; the dialog keeps the file
// and the tick for its next opening.
TEST_F(LoggerTab, LoadsATickedChannelAgainstAChosenTime)
{
    OpenVideo(8);
    ModalBoxCatcher boxes;
    const QString file = ForeignLoggerFile("v5.mat");
    const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
        dialog.dtpTime->setTime(QTime(8, 0));
        dialog.PageControl->setCurrentWidget(dialog.TabSheet5);
        PickFile(dialog.sbnOpenLoggerFile, file);
        EXPECT_EQ(FileFilters, (QStringList{"Logger Files (*.mf4 *.mdf *.dat *.tdms *.mat *.h5 *.hdf5)",
                                             "All Files (*)"}));
        ASSERT_TRUE(dialog.LoggerFile);
        EXPECT_EQ(dialog.lblLoggerFileName->text(), file);
        // The file's zero lies where the video starts.
        EXPECT_EQ(dialog.dtpLoggerZero->dateTime(), DateTimeToQDateTime(At(8, 0)));
        dialog.cbxLoggerTime->setCurrentText("t");
        Tick(dialog, NodeNamed(dialog, "speed"));
        EXPECT_EQ(Spans(dialog), QStringList{"speed: 1899-12-30 08:00:00.000 to 1899-12-30 08:00:09.500"});
        dialog.sbnLoadLoggerData->click();
    });
    EXPECT_FALSE(stayedOpen);
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
    ASSERT_EQ(Chart().SeriesCount(), 2);
    EXPECT_EQ(Data(1)->Title(), "speed");
    // 8 s of video: the samples at 0, 0.5, ... 8 s.
    ASSERT_EQ(Data(1)->Count(), 17);
    EXPECT_NEAR(Data(1)->XValue(0), At(8, 0), 1e-9);
    EXPECT_EQ(Data(1)->YValue(0), 0);
    EXPECT_NEAR(Data(1)->XValue(16), At(8, 0, 8), 1e-9);
    EXPECT_EQ(Data(1)->YValue(16), 16);

    RunDialog([&](TfrmLoadData& dialog) {
        EXPECT_EQ(dialog.PageControl->currentWidget(), dialog.TabSheet5);
        EXPECT_EQ(dialog.lblLoggerFileName->text(), file);
        EXPECT_EQ(dialog.LoggerChannels->Ticked(), std::vector<int>{NodeNamed(dialog, "speed")});
        EXPECT_EQ(dialog.cbxLoggerTime->currentText(), "t");
    });
}

// A file that cannot be read shows an error naming it: selected, the tab
// keeps what it had; damaged after its selection, the load adds nothing.
TEST_F(LoggerTab, ADamagedFileNamesItselfAndLeavesTheChartAlone)
{
    ShowTwoSeries();
    const TChartLook before = Look();
    QTemporaryDir folder;
    const QString good = folder.filePath("good.mat");
    const QString cut = folder.filePath("cut.mat");
    for (const QString& copy : {good, cut})
        ASSERT_TRUE(QFile::copy(ForeignLoggerFile("v5z.mat"), copy));
    const auto shorten = [](const QString& fileName) {
        QFile file(fileName);
        EXPECT_TRUE(file.resize(file.size() - 10));
    };
    shorten(cut);
    ModalBoxCatcher boxes;
    const bool stayedOpen = RunDialog([&](TfrmLoadData& dialog) {
        dialog.OpenLoggerFile(good);
        dialog.cbxLoggerTime->setCurrentText("t");
        Tick(dialog, NodeNamed(dialog, "speed"));
        PickFile(dialog.sbnOpenLoggerFile, cut);
        EXPECT_EQ(dialog.lblLoggerFileName->text(), good);
        EXPECT_EQ(dialog.LoggerChannels->Ticked().size(), 1u);
        shorten(good);
        dialog.sbnLoadLoggerData->click();
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(boxes.Boxes().size(), 2) << boxes.Texts().join('\n').toStdString();
    EXPECT_TRUE(boxes.Boxes().at(0).Text.contains(cut)) << boxes.Boxes().at(0).Text.toStdString();
    EXPECT_TRUE(boxes.Boxes().at(1).Text.contains(good)) << boxes.Boxes().at(1).Text.toStdString();
    EXPECT_EQ(Look(), before);
}
