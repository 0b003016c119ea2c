#include "chart/Chart.h"
#include "connect/ConnectDatabaseForm.h"
#include "tests/import/LoadDialogFixture.h"
#include "tests/support/DamagedAccessFiles.h"
#include "tests/support/ModalBoxCatcher.h"
#include "tests/support/TestDatabases.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

TDateTime Date(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(QDate(y, m, d)) + EncodeTime(QTime(h, mi, s, ms));
}

TDateTime T(int h, int m, int s, int ms = 0)
{
    return EncodeTime(QTime(h, m, s, ms));
}

QString FileString(const QString& fileName)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + fileName + QLatin1Char(';');
}

// The texts a label shows on screen, in turn.
class PaintedTexts : public QObject {
public:
    explicit PaintedTexts(QLabel* label) : mLabel(label) { label->installEventFilter(this); }
    QStringList Texts;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && (Texts.isEmpty() || Texts.last() != mLabel->text()))
            Texts << mLabel->text();
        return false;
    }

private:
    QLabel* mLabel;
};

class DatabaseTab : public LoadDialog {
protected:
    // Presses "Connect Database" and answers the connection dialog with a
    // custom string, or cancels it when the string is null.
    void Connect(TfrmLoadData& dialog, const QString& connectionString)
    {
        WhenModal([&](QWidget* modal) {
            auto* connect = qobject_cast<TfrmConnectDatabase*>(modal);
            if (!connect) {
                ADD_FAILURE() << "the connection dialog did not open";
                modal->close();
                return;
            }
            if (connectionString.isNull()) {
                connect->btnCancel->click();
                return;
            }
            connect->PageControl->setCurrentWidget(connect->TabSheet3);
            connect->mmADOConnectionString->setPlainText(connectionString);
            connect->rbnAuthenticationNo->setChecked(true);
            connect->btnConnect->click();
        });
        dialog.sbnConnectDatabase->click();
        QApplication::processEvents();
    }

    // Chooses the time field and ticks the data fields by name.
    static void Choose(TfrmLoadData& dialog, const QString& timeField, const QStringList& dataFields)
    {
        dialog.cbxTimeField->setCurrentText(timeField);
        for (int i = 0; i < dialog.clbDataFields->count(); ++i) {
            QListWidgetItem* item = dialog.clbDataFields->item(i);
            if (dataFields.contains(item->text()))
                item->setCheckState(Qt::Checked);
        }
    }

    // Connects, chooses and loads in one run of the dialog; whether it
    // stayed open.
    bool Load(const QString& connectionString, const QString& table, const QString& timeField,
              const QStringList& dataFields, const QTime& start, const QDate& date = QDate())
    {
        return RunDialog([&](TfrmLoadData& dialog) {
            SetStart(dialog, start, date);
            Connect(dialog, connectionString);
            dialog.cbxTables->setCurrentText(table);
            dialog.cbxTablesChange();
            Choose(dialog, timeField, dataFields);
            dialog.sbnLoadDatabaseData->click();
        });
    }

    TFastLineSeries* Data(int position) const { return Chart().LineSeries(position); }

    QString SQLiteFile(const QStringList& statements)
    {
        const QString fileName = mFolder.filePath(QString::number(++mFiles) + QStringLiteral(".db"));
        MakeSQLiteFile(fileName, statements);
        return fileName;
    }

    QTemporaryDir mFolder;
    int mFiles = 0;
};

} // namespace

TEST_F(DatabaseTab, IsTheFirstTabAndStartsEmpty)
{
    const TfrmLoadData& dialog = *window->frmLoadData;
    EXPECT_EQ(dialog.PageControl->indexOf(dialog.TabSheet1), 0);
    EXPECT_EQ(dialog.PageControl->tabText(0), "Database");
    EXPECT_EQ(dialog.PageControl->currentIndex(), 0);
    EXPECT_LT(dialog.PageControl->indexOf(dialog.TabSheet1), dialog.PageControl->indexOf(dialog.TabSheet3));
    EXPECT_EQ(dialog.sbnConnectDatabase->text(), "Connect Database");
    EXPECT_EQ(dialog.sbnConnectDatabase->size(), QSize(241, 32));
    EXPECT_EQ(dialog.sbnDisconnectDatabase->text(), "Disconnect");
    EXPECT_EQ(dialog.sbnDisconnectDatabase->size(), QSize(89, 32));
    EXPECT_GT(dialog.sbnDisconnectDatabase->x(), dialog.sbnConnectDatabase->geometry().right());
    EXPECT_EQ(dialog.sbnLoadDatabaseData->text(), "Load Database Data");
    EXPECT_EQ(dialog.sbnLoadDatabaseData->size(), QSize(330, 32));
    for (const QPushButton* button : {dialog.sbnConnectDatabase, dialog.sbnDisconnectDatabase, dialog.sbnLoadDatabaseData})
        EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(dialog.Label2->text(), "Table");
    EXPECT_EQ(dialog.Label3->text(), "Time Field");
    EXPECT_EQ(dialog.Label4->text(), "Data Fields");
    EXPECT_EQ(dialog.lblDatabaseConnectionStatus->text(), "");
    EXPECT_FALSE(dialog.cbxTables->isEditable());
    EXPECT_EQ(dialog.cbxTables->count() + dialog.cbxTimeField->count() + dialog.clbDataFields->count(), 0);
    EXPECT_FALSE(dialog.ADOConnection);
}

TEST_F(DatabaseTab, WarnsInOrderAndDisconnectKeepsTheLists)
{
    OpenVideo(10);
    const QString empty = SQLiteFile({"create table x (x)", "drop table x"});
    const QString full = SQLiteFile({"create table readings (stamp text, speed real, note text)",
                                     "create view later as select * from readings"});
    ModalBoxCatcher boxes;
    QStringList statuses;
    EXPECT_TRUE(RunDialog([&](TfrmLoadData& dialog) {
        dialog.sbnDisconnectDatabase->click(); // closed: nothing happens
        EXPECT_EQ(dialog.lblDatabaseConnectionStatus->text(), "");
        dialog.sbnLoadDatabaseData->click();
        Connect(dialog, FileString(empty));
        statuses << dialog.lblDatabaseConnectionStatus->text();
        EXPECT_EQ(dialog.cbxTables->count(), 0);
        dialog.sbnLoadDatabaseData->click();
        Connect(dialog, FileString(full));
        EXPECT_EQ(Entries(dialog.cbxTables), QStringList({"readings", "later"}));
        EXPECT_EQ(dialog.cbxTables->currentText(), "readings");
        EXPECT_EQ(Entries(dialog.cbxTimeField), QStringList({"stamp", "speed", "note"}));
        EXPECT_EQ(dialog.cbxTimeField->currentIndex(), -1);
        EXPECT_EQ(dialog.clbDataFields->count(), 3);
        EXPECT_TRUE(TickedEntries(dialog.clbDataFields).isEmpty());
        dialog.sbnLoadDatabaseData->click();
        dialog.cbxTimeField->setCurrentIndex(0);
        dialog.sbnLoadDatabaseData->click();
        // Cancelling the connection dialog changes nothing.
        Connect(dialog, QString());
        statuses << dialog.lblDatabaseConnectionStatus->text();
        EXPECT_TRUE(dialog.ADOConnection);
        dialog.sbnDisconnectDatabase->click();
        statuses << dialog.lblDatabaseConnectionStatus->text();
        EXPECT_EQ(Entries(dialog.cbxTables), QStringList({"readings", "later"}));
        EXPECT_EQ(dialog.clbDataFields->count(), 3);
        dialog.clbDataFields->item(1)->setCheckState(Qt::Checked);
        dialog.sbnLoadDatabaseData->click();
    }));
    EXPECT_EQ(boxes.Texts(), QStringList({"The database is NOT connected.", "The database table is NOT selected.",
                                          "The time field is NOT selected.", "No one data field selected.",
                                          "The database is NOT connected."}));
    for (const ModalBoxCatcher::TBox& box : boxes.Boxes())
        EXPECT_EQ(box.Title, "Warning");
    EXPECT_EQ(statuses, QStringList({"Database connected.", "Database connected.", "Database disconnected."}));
    EXPECT_EQ(Chart().SeriesCount(), 1);
}

TEST_F(DatabaseTab, ReconnectingShowsEachStatusAndAFailureClosesTheOldConnection)
{
    OpenVideo(10);
    const QString file = SQLiteFile({"create table readings (stamp text, speed real)"});
    ModalBoxCatcher boxes;
    QStringList painted;
    RunDialog([&](TfrmLoadData& dialog) {
        Connect(dialog, FileString(file));
        PaintedTexts texts(dialog.lblDatabaseConnectionStatus);
        Connect(dialog, FileString(file));
        EXPECT_EQ(dialog.lblDatabaseConnectionStatus->text(), "Database connected.");
        Connect(dialog, QStringLiteral("Provider=MSDAORA;Data Source=plant;Password=Secret99;"));
        painted = texts.Texts;
        EXPECT_FALSE(dialog.ADOConnection);
        EXPECT_EQ(Entries(dialog.cbxTables), QStringList({"readings"}));
        EXPECT_TRUE(dialog.lblDatabaseConnectionStatus->text().startsWith("Connection Error: The provider \"MSDAORA\""));
    });
    // "Connect to database..." is painted before each connect blocks; the
    // disconnect before it is overwritten at once.
    ASSERT_EQ(painted.size(), 4) << painted.join('\n').toStdString();
    EXPECT_EQ(painted.mid(0, 3), QStringList({"Connect to database...", "Database connected.", "Connect to database..."}));
    EXPECT_TRUE(painted[3].startsWith("Connection Error: ")) << painted[3].toStdString();
    EXPECT_FALSE(painted[3].contains("Secret99"));
    // The error goes on to the error box.
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].Title, "Error");
    EXPECT_EQ("Connection Error: " + boxes.Texts()[0], painted[3]);
}

TEST_F(DatabaseTab, LoadsFromSQLiteWithBothEndsNullsAndTexts)
{
    OpenVideo(60);
    const QString file = SQLiteFile({"create table readings (stamp datetime, speed real, note text, temp integer)",
                                     "insert into readings values ('2024-03-01 06:59:59', 9, '9', 9)",
                                     "insert into readings values ('2024-03-01 07:00:00', 1, '1.5', null)",
                                     "insert into readings values ('2024-03-01 07:00:30', null, ' -2 ', 20)",
                                     "insert into readings values ('2024-03-01 07:01:00', 3, null, 30)",
                                     "insert into readings values ('2024-03-01 07:01:01', 9, '9', 9)",
                                     "insert into readings values (null, 9, '9', 9)"});
    ModalBoxCatcher boxes;
    EXPECT_FALSE(Load(FileString(file), "readings", "stamp", {"speed", "note", "temp"}, QTime(7, 0), QDate(2024, 3, 1)));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
    ASSERT_EQ(Chart().SeriesCount(), 4);
    EXPECT_EQ(Data(1)->Title(), "speed");
    EXPECT_EQ(Data(3)->Title(), "temp");
    const TDateTime a = Date(2024, 3, 1, 7, 0, 0), b = Date(2024, 3, 1, 7, 0, 30), c = Date(2024, 3, 1, 7, 1, 0);
    EXPECT_EQ(PointsOf(Data(1)), Points({{a, 1}, {b, 0}, {c, 3}}));
    EXPECT_EQ(PointsOf(Data(2)), Points({{a, 1.5}, {b, -2}, {c, 0}}));
    EXPECT_EQ(PointsOf(Data(3)), Points({{a, 0}, {b, 20}, {c, 30}}));
    EXPECT_EQ(window->StartTime, a);
}

TEST_F(DatabaseTab, WithoutTheDateTheWindowLiesOnDayZero)
{
    OpenVideo(60);
    const QString file = SQLiteFile({"create table readings (stamp text, speed real)",
                                     "insert into readings values ('07:00:00', 1)",
                                     "insert into readings values ('2024-03-01 07:00:10', 2)",
                                     "insert into readings values ('07:01:00.000', 3)",
                                     "insert into readings values ('07:01:00.001', 4)"});
    EXPECT_FALSE(Load(FileString(file), "readings", "stamp", {"speed"}, QTime(7, 0)));
    ASSERT_EQ(Chart().SeriesCount(), 2);
    EXPECT_EQ(PointsOf(Data(1)), Points({{T(7, 0, 0), 1}, {T(7, 1, 0), 3}}));
}

TEST_F(DatabaseTab, AValueThatCannotBeReadEndsTheLoadKeepingThePointsSoFar)
{
    OpenVideo(60);
    const QString file = SQLiteFile({"create table readings (stamp text, speed real, note text)",
                                     "insert into readings values ('2024-03-01 07:00:01', 1, '10')",
                                     "insert into readings values ('2024-03-01 07:00:02', 2, 'twenty')",
                                     "insert into readings values ('2024-03-01 07:00:03', 3, '30')"});
    ModalBoxCatcher boxes;
    EXPECT_TRUE(Load(FileString(file), "readings", "stamp", {"speed", "note"}, QTime(7, 0), QDate(2024, 3, 1)));
    EXPECT_EQ(boxes.Texts(), QStringList({"'twenty' is not a valid floating point value (field note)."}));
    ASSERT_EQ(Chart().SeriesCount(), 3);
    // The fields are read in order: speed, before the failing note, keeps
    // the failing record's point.
    EXPECT_EQ(PointsOf(Data(1)), Points({{Date(2024, 3, 1, 7, 0, 1), 1}, {Date(2024, 3, 1, 7, 0, 2), 2}}));
    EXPECT_EQ(PointsOf(Data(2)), Points({{Date(2024, 3, 1, 7, 0, 1), 10}}));
    // The dialog did not close with OK: the main window kept its start.
    EXPECT_EQ(window->StartTime, 0);
}

TEST_F(DatabaseTab, LoadsAQuotedPostgreSqlTableWithBothEnds)
{
    SKIP_WITHOUT_POSTGRES();
    OpenVideo(60);
    const QString address = MakePostgresDatabase(
        QStringLiteral("plotreel_tab"),
        {"create table \"Run 7\" (\"Stamp\" timestamptz, \"Speed km/h\" double precision, \"Mode\" boolean)",
         "insert into \"Run 7\" values ('2024-03-01 06:59:59.999', 9, true), ('2024-03-01 07:00:00', 1, true), "
         "('2024-03-01 07:01:00', 2, false), ('2024-03-01 07:01:00.001', 9, false)"});
    ModalBoxCatcher boxes;
    EXPECT_FALSE(Load(address, "Run 7", "Stamp", {"Speed km/h"}, QTime(7, 0), QDate(2024, 3, 1)));
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
    ASSERT_EQ(Chart().SeriesCount(), 2);
    EXPECT_EQ(PointsOf(Data(1)), Points({{Date(2024, 3, 1, 7, 0, 0), 1}, {Date(2024, 3, 1, 7, 1, 0), 2}}));
    // A true/false field is no number.
    EXPECT_TRUE(Load(address, "Run 7", "Stamp", {"Mode"}, QTime(7, 0), QDate(2024, 3, 1)));
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].contains("boolean"));
}

// The server goes away while the dialog is open: the load says so, and so
// does the status, instead of "Database connected.".
TEST_F(DatabaseTab, ALostServerShowsInTheMessageAndTheStatus)
{
    SKIP_WITHOUT_POSTGRES();
    OpenVideo(60);
    const QString address = MakePostgresDatabase(
        QStringLiteral("plotreel_lost"),
        {"create table run (stamp timestamp, speed double precision)",
         "insert into run values ('2024-03-01 07:00:01', 1)"});
    ModalBoxCatcher boxes;
    RunDialog([&](TfrmLoadData& dialog) {
        SetStart(dialog, QTime(7, 0), QDate(2024, 3, 1));
        Connect(dialog, address);
        ASSERT_EQ(dialog.lblDatabaseConnectionStatus->text(), "Database connected.");
        dialog.cbxTables->setCurrentText("run");
        dialog.cbxTablesChange();
        Choose(dialog, "stamp", {"speed"});
        EndPostgresSessions(QStringLiteral("plotreel_lost"));
        dialog.sbnLoadDatabaseData->click();
        EXPECT_EQ(dialog.lblDatabaseConnectionStatus->text(),
                  "Connection Error: The connection to the database server was lost.");
        dialog.close();
    });
    ASSERT_EQ(boxes.Texts().size(), 1);
    EXPECT_TRUE(boxes.Texts()[0].startsWith("The connection to the database server was lost."))
        << boxes.Texts()[0].toStdString();
}

TEST_F(DatabaseTab, LoadsTheAccessFixtures)
{
    OpenVideo(60);
    // A file that cannot be read shows its box to the catcher instead of
    // waiting for someone to close it.
    ModalBoxCatcher boxes;
    for (const char* file : {"jet4-types.mdb", "ace-types.accdb"}) {
        SCOPED_TRACE(file);
        const int before = Chart().SeriesCount();
        EXPECT_FALSE(Load(FileString(AccessFixture(QString::fromLatin1(file))), "Table1", "G", {"F", "H"},
                          QTime(0, 0), QDate(1974, 9, 21)));
        ASSERT_EQ(Chart().SeriesCount(), before + 2);
        EXPECT_EQ(PointsOf(Data(before)), Points({{Date(1974, 9, 21), 444.555}}));
        EXPECT_EQ(PointsOf(Data(before + 1)), Points({{Date(1974, 9, 21), 3.5}}));
    }
    EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join('\n').toStdString();
}

namespace {

// A view "big" of millions of records at 07:30 on 1 March 2024, made by the
// database as they are read (far more than half a second of loading), and a
// table "short" of two records.
QStringList CancelStatements(const QString& bigView)
{
    return {bigView, QStringLiteral("create table short (stamp timestamp, speed real, temp real)"),
            QStringLiteral("insert into short values ('2024-03-01 07:10:00', 1, 2), ('2024-03-01 07:20:00', 3, 4)")};
}

} // namespace

// Cancelled part way, the load takes its series away and shows no box; the
// connection serves the next load.
class DatabaseCancel : public DatabaseTab {
protected:
    void CancelThenLoadAgain(const QString& connectionString)
    {
        const auto choose = [this](TfrmLoadData& dialog, const QString& table) {
            dialog.cbxTables->setCurrentText(table);
            dialog.cbxTablesChange();
            Choose(dialog, "stamp", {"speed", "temp"});
        };
        ExpectCancelLeavesTheChart(
            [&](TfrmLoadData& dialog) {
                SetStart(dialog, QTime(7, 0), QDate(2024, 3, 1));
                Connect(dialog, connectionString);
                choose(dialog, "big");
            },
            &TfrmLoadData::sbnLoadDatabaseData,
            [&](TfrmLoadData& dialog) {
                choose(dialog, "short");
                dialog.sbnLoadDatabaseData->click();
                EXPECT_FALSE(dialog.isVisible());
            });
        ASSERT_EQ(Chart().SeriesCount(), 5);
        EXPECT_EQ(PointsOf(Data(3)), Points({{Date(2024, 3, 1, 7, 10), 1}, {Date(2024, 3, 1, 7, 20), 3}}));
        EXPECT_EQ(PointsOf(Data(4)), Points({{Date(2024, 3, 1, 7, 10), 2}, {Date(2024, 3, 1, 7, 20), 4}}));
    }
};

TEST_F(DatabaseCancel, FromSQLite)
{
    CancelThenLoadAgain(FileString(SQLiteFile(CancelStatements(QStringLiteral(
        "create view big as with recursive n(i) as (select 1 union all select i + 1 from n limit 10000000) "
        "select '2024-03-01 07:30:00' as stamp, i as speed, 2 * i as temp from n")))));
}

TEST_F(DatabaseCancel, FromPostgreSql)
{
    SKIP_WITHOUT_POSTGRES();
    // The series function in the select list streams its rows.
    CancelThenLoadAgain(MakePostgresDatabase(
        QStringLiteral("plotreel_cancel"),
        CancelStatements(QStringLiteral("create view big as select timestamp '2024-03-01 07:30:00' as stamp, "
                                        "g::float8 as speed, 2 * g::float8 as temp "
                                        "from (select generate_series(1, 10000000) as g) as n"))));
}

// A server that sends nothing for 30 s: the progress dialog shows all the
// same, and its Cancel ends the wait at once.
TEST_F(DatabaseCancel, FromAPostgreSqlViewThatSleeps)
{
    SKIP_WITHOUT_POSTGRES();
    QElapsedTimer timer;
    timer.start();
    CancelThenLoadAgain(MakePostgresDatabase(
        QStringLiteral("plotreel_cancel_sleep"),
        CancelStatements(QStringLiteral("create view big as select timestamp '2024-03-01 07:30:00' as stamp, "
                                        "1::real as speed, 2::real as temp from pg_sleep(30)"))));
    EXPECT_LT(timer.elapsed(), 10000);
}

// A damaged Access file ends in an error box that names it; the program goes
// on, the series on the chart keep their points and the dialog stays open.
TEST_F(DatabaseTab, DamagedAccessFilesEndInAnErrorBoxAndTheChartKeepsItsSeries)
{
    OpenVideo(60);
    ModalBoxCatcher boxes;
    const QString good = AccessFixture(QStringLiteral("jet4-types.mdb"));
    EXPECT_FALSE(Load(FileString(good), "Table1", "G", {"F"}, QTime(0, 0), QDate(1974, 9, 21)));
    ASSERT_EQ(Chart().SeriesCount(), 2);
    const auto kept = Points({{Date(1974, 9, 21), 444.555}});

    const QString truncated = DamagedAccessFile(mFolder.path(), "ace-types.accdb", TAccessDamage::Truncated);
    EXPECT_TRUE(Load(FileString(truncated), "Table1", "G", {"F"}, QTime(0, 0), QDate(1974, 9, 21)));
    EXPECT_EQ(boxes.Texts(),
              QStringList({QStringLiteral("The file '%1' could not be read: the table 'Table1' ends after 0 of its "
                                          "2 records.")
                               .arg(truncated)}));
    EXPECT_EQ(PointsOf(Data(1)), kept);

    const QString columns = DamagedAccessFile(mFolder.path(), "jet4-types.mdb", TAccessDamage::UnreadableColumns);
    const QString looping = DamagedAccessFile(mFolder.path(), "ace-types.accdb", TAccessDamage::EmptyPropertyRecord);
    RunDialog([&](TfrmLoadData& dialog) {
        Connect(dialog, FileString(columns));
        EXPECT_EQ(dialog.cbxTables->currentText(), "Table1");
        EXPECT_EQ(boxes.Texts().last(), QStringLiteral("The file '%1' could not be read: the columns of the table "
                                                       "'Table1' cannot be read.")
                                            .arg(columns));
        Connect(dialog, FileString(looping));
        EXPECT_EQ(boxes.Texts().last(), QStringLiteral("The file '%1' could not be read: the reader gave no answer "
                                                       "for 10 seconds and was stopped.")
                                            .arg(looping));
        EXPECT_EQ(dialog.lblDatabaseConnectionStatus->text(), "Connection Error: " + boxes.Texts().last());
    });
    EXPECT_EQ(boxes.Texts().size(), 3);
    EXPECT_EQ(PointsOf(Data(1)), kept);
}

// A reader killed mid-load: the error names the file, and the points read
// before it stay, as with the other sources.
TEST_F(DatabaseTab, AnAccessReaderKilledMidLoadKeepsThePointsSoFar)
{
    OpenVideo(60);
    ModalBoxCatcher boxes;
    const QString file = AccessFixture(QStringLiteral("jet4-types.mdb"));
    EXPECT_TRUE(RunDialog([&](TfrmLoadData& dialog) {
        SetStart(dialog, QTime(0, 0), QDate(1974, 9, 21));
        Connect(dialog, FileString(file));
        Choose(dialog, "G", {"F", "H"});
        const ReaderProgram killed(AccessReaderStandIn(mFolder.path(), TReaderEnding::Killed));
        dialog.sbnLoadDatabaseData->click();
    }));
    EXPECT_EQ(boxes.Texts(),
              QStringList({QStringLiteral("The file '%1' could not be read: the reader stopped unexpectedly.").arg(file)}));
    ASSERT_EQ(Chart().SeriesCount(), 3);
    EXPECT_EQ(PointsOf(Data(1)), Points({{Date(1974, 9, 21), 444.555}}));
    EXPECT_EQ(PointsOf(Data(2)), Points({{Date(1974, 9, 21), 3.5}}));
}
