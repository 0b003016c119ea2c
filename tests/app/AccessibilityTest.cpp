// What screen readers and keyboard users get of every window: a name for each
// control, the values strip as text, and a sensible Tab order.
#include "about/About.h"
#include "about/LinkLabel.h"
#include "about/ProdInfo.h"
#include "app/DataStrip.h"
#include "chartdata/ChartData.h"
#include "common/LoadProgressDialog.h"
#include "common/MessageBoxes.h"
#include "connect/ConnectDatabaseForm.h"
#include "import/CheckedDateEdit.h"
#include "import/LoadDataForm.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/UiDriver.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTimeEdit>
#include <QToolButton>

#include <functional>

namespace {

// The roles of what a user works: each needs a name to be told apart.
bool IsInteractive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonMenu:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::Link:
        return true;
    default:
        return false;
    }
}

// The name that a screen reader says: the control's own, or that of the label
// standing for it. A combo box names itself after its current entry and
// leaves its name to its label.
QString SpokenName(QAccessibleInterface* node)
{
    const QString own = node->text(QAccessible::Name).trimmed();
    if (!own.isEmpty() && node->role() != QAccessible::ComboBox)
        return own;
    for (const auto& relation : node->relations(QAccessible::Label)) {
        const QString label = relation.first->text(QAccessible::Name).trimmed();
        if (!label.isEmpty())
            return label;
    }
    return own;
}

QString SpokenName(QWidget* widget)
{
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
    return node ? SpokenName(node) : QStringLiteral("<none>");
}

QString Describe(QAccessibleInterface* node)
{
    const QObject* object = node->object();
    return (object ? QString::fromLatin1(object->metaObject()->className()) + QLatin1Char(' ') + object->objectName()
                   : QStringLiteral("?"))
           + QStringLiteral(" role 0x") + QString::number(node->role(), 16);
}

void CollectUnnamed(QAccessibleInterface* node, const QString& path, QStringList& unnamed)
{
    const QString here = path + QStringLiteral(" / ") + Describe(node);
    if (IsInteractive(node->role()) && SpokenName(node).isEmpty())
        unnamed << here;
    // A combo box's popup list belongs to it and is named by it.
    if (node->role() == QAccessible::ComboBox)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface* child = node->child(i))
            CollectUnnamed(child, here, unnamed);
}

// The interactive controls of a window that assistive tools see without a
// name. Every page of every tab widget is walked, so tabs added later are
// covered without a change here.
QStringList UnnamedControls(QWidget* window)
{
    QStringList unnamed;
    const auto walk = [&] { CollectUnnamed(QAccessible::queryAccessibleInterface(window), QString(), unnamed); };
    walk();
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            walk();
        }
        tabs->setCurrentIndex(current);
    }
    unnamed.removeDuplicates();
    return unnamed;
}

QString AccessibleText(QWidget* widget, QAccessible::Text text)
{
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
    return node ? node->text(text) : QStringLiteral("<none>");
}

// The unnamed controls of the modal window that show opens; it is closed then.
QStringList UnnamedInModal(const std::function<void()>& show)
{
    QStringList unnamed{QStringLiteral("<no window opened>")};
    WhenModal([&unnamed](QWidget* modal) {
        unnamed = UnnamedControls(modal);
        modal->close();
    });
    show();
    return unnamed;
}

// Where the Tab key takes the focus from the first of stops, one press at a
// time, until it comes back: the stops reached, in order. A focus inside a
// stop (the edit of a time picker) counts as that stop; a time picker's Tab
// walks its own fields first, so a stop is counted once.
QList<QWidget*> TabRound(QWidget* window, const QList<QWidget*>& stops)
{
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    stops.first()->setFocus(Qt::TabFocusReason);
    const auto stopOf = [&stops](QWidget* focus) -> QWidget* {
        for (QWidget* w = focus; w; w = w->parentWidget())
            if (stops.contains(w))
                return w;
        return focus;
    };
    QList<QWidget*> round{stopOf(QApplication::focusWidget())};
    for (int press = 0; press < 4 * stops.size(); ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* stop = stopOf(QApplication::focusWidget());
        if (stop == round.first())
            break;
        if (stop != round.last())
            round << stop;
    }
    return round;
}

std::vector<std::string> Names(const QList<QWidget*>& widgets)
{
    std::vector<std::string> names;
    for (QWidget* w : widgets)
        names.push_back(w ? std::string(w->metaObject()->className()) + ' ' + SpokenName(w).toStdString() : "<none>");
    return names;
}

using Accessibility = MainWindow;

} // namespace

TEST_F(Accessibility, EveryControlOfEveryWindowHasAName)
{
    OpenVideo(60, At(7, 0));
    AddChartSeries(Chart(), "speed")->AddXY(At(7, 0, 10), 1.5);
    AddChartSeries(Chart(), "depth")->AddXY(At(7, 0, 10), 2);
    window->FillLegend();
    window->UpdateControls();
    EXPECT_EQ(UnnamedControls(window.get()), QStringList());
    EXPECT_EQ(UnnamedControls(window->frmLoadData), QStringList());
    ASSERT_NE(frmConnectDatabase, nullptr);
    EXPECT_EQ(UnnamedControls(frmConnectDatabase), QStringList());
    EXPECT_EQ(UnnamedInModal([this] { window->sbnAbout->click(); }), QStringList());
    EXPECT_EQ(UnnamedInModal([] { ShowErrorBox(QStringLiteral("x")); }), QStringList());
    EXPECT_EQ(UnnamedInModal([] { ShowWarningBox(QStringLiteral("x")); }), QStringList());
}

TEST_F(Accessibility, ControlsAreNamedAfterTheirToolTipOrLabel)
{
    const TfrmLoadData& load = *window->frmLoadData;
    const TfrmConnectDatabase& connect = *frmConnectDatabase;
    const struct {
        QWidget* control;
        const char* name;
    } cases[] = {
        {window->sbnOpenVideo, "Open Video"},
        {window->sbnSaveData, "Save the chart data"},
        {window->sbnExport, "Export the view"},
        {window->sbnAbout, "About"},
        {window->sbnPlayPause, "Play"},
        {window->sbnZoomIn, "Zoom In"},
        {window->sbnZoomOut, "Zoom Out"},
        {window->sbnZoomOriginal, "Zoom to Default"},
        {window->ChartAll, "Chart"},
        {window->lvwLegend, "Legend"},
        {window->pbxData, "Current Data"},
        {load.dtpTime, "Start Translation Time"},
        {load.dtpDate->DateEdit(), "Start Translation Date"},
        {load.cbxFieldsDelimiter, "Fileds Delimiter"},
        {load.cbxTextTimeFiled, "Time Field Number"},
        {load.clbTextDataFields, "Data Fields Nubmers"},
        {load.cbxTables, "Table"},
        {load.cbxTimeField, "Time Field"},
        {load.clbDataFields, "Data Fields"},
        // The lists that drop-down lists pop up.
        {load.cbxTables->view(), "Table"},
        {load.cbxFieldsDelimiter->view(), "Fileds Delimiter"},
        {connect.edtHostName, "Host Name / IP"},
        {connect.edtPort, "Port"},
        {connect.edtAccessDatabaseFile, "Access Database File"},
        {connect.sbnSelectAccessFiles, "Select Access Database File"},
        {connect.mmADOConnectionString, "OLE DB Connection String"},
        {connect.edtLogin, "Login"},
        {connect.edtPassword, "Password"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpokenName(c.control), c.name) << c.control->metaObject()->className();
    // The label stands for its list: a mnemonic or an assistive tool finds it.
    EXPECT_EQ(load.Label5->buddy(), load.cbxFieldsDelimiter);
    // Nothing that shows changed.
    EXPECT_EQ(load.Label5->text(), "Fileds Delimiter");
    EXPECT_EQ(connect.sbnSelectAccessFiles->text(), "...");
}

TEST_F(Accessibility, ThePlayButtonSaysWhatAPressDoesNow)
{
    OpenVideo(60);
    window->sbnPlayPause->click();
    EXPECT_EQ(AccessibleText(window->sbnPlayPause, QAccessible::Name), "Pause");
    window->sbnPlayPause->click();
    EXPECT_EQ(AccessibleText(window->sbnPlayPause, QAccessible::Name), "Play");
    window->sbnPlayPause->click();
    player->ReportStop();
    EXPECT_EQ(AccessibleText(window->sbnPlayPause, QAccessible::Name), "Play");
}

TEST_F(Accessibility, TheStripsValueFollowsTheCursor)
{
    OpenVideo(60, At(10, 0));
    TFastLineSeries* speed = AddChartSeries(Chart(), "speed");
    TFastLineSeries* depth = AddChartSeries(Chart(), "depth");
    speed->AddXY(At(10, 0), 3.14159);
    speed->AddXY(At(10, 0, 20), 2);
    depth->AddXY(At(10, 0, 10), 7.5);
    depth->AddXY(At(10, 0, 30), 8);
    window->FillLegend();
    window->UpdateControls();
    QWidget* strip = window->pbxData;
    EXPECT_EQ(AccessibleText(strip, QAccessible::Name), "Current Data");
    EXPECT_EQ(AccessibleText(strip, QAccessible::Value), "speed 3.142");

    // Before the first sample of depth: speed alone, as on screen.
    player->ReportPosition(5);
    EXPECT_EQ(AccessibleText(strip, QAccessible::Value), "speed 2");
    EXPECT_EQ(AccessibleText(strip, QAccessible::Description), "speed 2");
    player->ReportPosition(15);
    EXPECT_EQ(AccessibleText(strip, QAccessible::Value), "speed 2, depth 8");
    // After the last sample of speed.
    player->ReportPosition(25);
    EXPECT_EQ(AccessibleText(strip, QAccessible::Value), "depth 8");
    player->ReportPosition(15);
    // An unticked series is left out, as on screen.
    window->lvwLegend->item(0)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(AccessibleText(strip, QAccessible::Value), "depth 8");
}

TEST_F(Accessibility, TheChartDescribesItsSpanAndSeries)
{
    OpenVideo(100, At(7, 0));
    AddChartSeries(Chart(), "a")->AddXY(At(7, 0, 10), 1);
    AddChartSeries(Chart(), "b")->AddXY(At(7, 0, 10), 2);
    window->FillLegend();
    Chart().ReplotNow();
    EXPECT_EQ(AccessibleText(window->ChartAll, QAccessible::Description), "From 7:00:00 AM to 7:01:40 AM, 2 series shown");
    window->sbnZoomIn->click();
    window->lvwLegend->item(1)->setCheckState(Qt::Unchecked);
    Chart().ReplotNow();
    EXPECT_EQ(AccessibleText(window->ChartAll, QAccessible::Description), "From 7:00:00 AM to 7:01:30 AM, 1 series shown");
    // A span that carries dates names them.
    EXPECT_EQ(ChartDescription(EncodeDate(QDate(2016, 10, 31)) + At(7, 0), EncodeDate(QDate(2016, 10, 31)) + At(8, 0),
                               0, QLocale(QLocale::English, QLocale::UnitedStates)),
              "From 10/31/16 7:00:00 AM to 10/31/16 8:00:00 AM, 0 series shown");
}

TEST_F(Accessibility, TheMainWindowsControlsAreReachedWithTab)
{
    OpenVideo(60, At(7, 0));
    // The legend shows from two series on.
    AddChartSeries(Chart(), "a")->AddXY(At(7, 0, 10), 1);
    AddChartSeries(Chart(), "b")->AddXY(At(7, 0, 10), 2);
    window->FillLegend();
    window->UpdateControls();
    const QList<QWidget*> stops{window->sbnOpenVideo, window->sbnAddVideo, window->sbnOpenData,  window->sbnSaveData,
                                window->sbnExport,    window->sbnAbout,     window->sbnPlayPause, window->sbnZoomIn,
                                window->sbnZoomOut,   window->sbnZoomOriginal, window->ChartAll,
                                window->lvwLegend};
    EXPECT_EQ(Names(TabRound(window.get(), stops)), Names(stops));
}

TEST_F(Accessibility, TheControlThatTabReachesShowsItHasTheFocus)
{
    OpenVideo(60, At(7, 0));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const struct {
        QWidget* from;
        QWidget* to;
    } cases[] = {{window->sbnPlayPause, window->sbnZoomIn}, {window->sbnZoomOriginal, window->ChartAll}};
    for (const auto& c : cases) {
        const QImage before = c.to->grab().toImage();
        c.from->setFocus(Qt::TabFocusReason);
        QTest::keyClick(c.from, Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), c.to);
        EXPECT_NE(c.to->grab().toImage(), before) << c.to->metaObject()->className();
        // A click leaves the focus where it was.
        QTest::mouseClick(window->sbnZoomOut, Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), c.to);
    }
}

TEST_F(Accessibility, TheLoadDialogsTabOrderRunsDownEachTab)
{
    TfrmLoadData& dialog = *window->frmLoadData;
    dialog.show();
    QCheckBox* useDate = dialog.dtpDate->findChild<QCheckBox*>();
    QWidget* tabBar = dialog.PageControl->tabBar();
    const struct {
        QWidget* tab;
        QList<QWidget*> stops;
    } cases[] = {
        {dialog.TabSheet1,
         {dialog.sbnConnectDatabase, dialog.sbnDisconnectDatabase, dialog.cbxTables, dialog.cbxTimeField,
          dialog.clbDataFields, dialog.sbnLoadDatabaseData}},
        {dialog.TabSheet3,
         {dialog.sbnOpenTextFile, dialog.cbxFieldsDelimiter, dialog.cbxTextTimeFiled, dialog.clbTextDataFields,
          dialog.sbnLoadTextData}},
        {dialog.TabSheet4, {dialog.sbnLoadTestData3}},
    };
    for (const auto& c : cases) {
        dialog.PageControl->setCurrentWidget(c.tab);
        const QList<QWidget*> stops = QList<QWidget*>{useDate, dialog.dtpTime, tabBar} + c.stops;
        EXPECT_EQ(Names(TabRound(&dialog, stops)), Names(stops));
    }

    // The arrow keys on the tab bar change the tab; the date once ticked is a stop.
    dialog.PageControl->setCurrentWidget(dialog.TabSheet3);
    tabBar->setFocus(Qt::TabFocusReason);
    QTest::keyClick(tabBar, Qt::Key_Right);
    EXPECT_EQ(dialog.PageControl->currentWidget(), dialog.TabSheet4);
    dialog.dtpDate->SetChecked(true);
    const QList<QWidget*> dated{useDate, dialog.dtpDate->DateEdit(), dialog.dtpTime, tabBar, dialog.sbnLoadTestData3};
    EXPECT_EQ(Names(TabRound(&dialog, dated)), Names(dated));
    dialog.dtpDate->SetChecked(false);
    dialog.PageControl->setCurrentIndex(0);
    dialog.hide();
}

TEST_F(Accessibility, TheConnectionDialogsTabOrderRunsDownEachTabThenTheSignIn)
{
    TfrmConnectDatabase& dialog = *frmConnectDatabase;
    dialog.show();
    QWidget* tabBar = dialog.PageControl->tabBar();
    const QList<QWidget*> signIn{dialog.rbnAuthenticationNo, dialog.edtLogin, dialog.edtPassword, dialog.btnConnect,
                                 dialog.btnCancel};
    const struct {
        QWidget* tab;
        QList<QWidget*> stops;
    } cases[] = {
        {dialog.TabSheet1,
         {tabBar, dialog.rbnConnectByIP, dialog.edtHostName, dialog.edtPort, dialog.edtSQLServerName,
          dialog.edtSQLServerDatabase}},
        {dialog.TabSheet2, {tabBar, dialog.edtAccessDatabaseFile, dialog.sbnSelectAccessFiles}},
        {dialog.TabSheet3, {tabBar, dialog.mmADOConnectionString}},
    };
    for (const auto& c : cases) {
        dialog.PageControl->setCurrentWidget(c.tab);
        const QList<QWidget*> stops = c.stops + signIn;
        EXPECT_EQ(Names(TabRound(&dialog, stops)), Names(stops)) << dialog.PageControl->tabText(dialog.PageControl->currentIndex()).toStdString();
    }
    dialog.PageControl->setCurrentIndex(0);
    dialog.hide();
}

TEST_F(Accessibility, TheProgressBarAndTheAboutLinksSpeakAsWhatTheyAre)
{
    {
        const TLoadProgressDialog progress(window.get(), QStringLiteral("Reading the chart data file..."));
        const auto* bar = window->findChild<QProgressBar*>();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(SpokenName(const_cast<QProgressBar*>(bar)), "Reading the chart data file...");
    }

    TAboutForm form(window.get());
    form.SetProductInfo(ProductInfo);
    auto* site = form.findChild<TLinkLabel*>(QStringLiteral("lblSite"));
    ASSERT_NE(site, nullptr);
    QObject::disconnect(site, nullptr, &form, nullptr);
    int clicks = 0;
    QObject::connect(site, &TLinkLabel::clicked, [&clicks] { ++clicks; });
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(site);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->role(), QAccessible::Link);
    EXPECT_EQ(node->text(QAccessible::Name), site->text());
    ASSERT_NE(node->actionInterface(), nullptr);
    ASSERT_TRUE(node->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
}

TEST_F(Accessibility, TheAboutBoxsLinksWorkFromTheKeyboard)
{
    TAboutForm form(window.get());
    form.SetProductInfo(ProductInfo);
    auto* mail = form.findChild<TLinkLabel*>(QStringLiteral("lblMail"));
    auto* site = form.findChild<TLinkLabel*>(QStringLiteral("lblSite"));
    ASSERT_TRUE(mail && site);
    // Opening the address is not wanted here: the clicks alone are counted.
    QObject::disconnect(site, nullptr, &form, nullptr);
    int clicks = 0;
    QObject::connect(site, &TLinkLabel::clicked, [&clicks] { ++clicks; });
    std::vector<std::string> round, expected;
    WhenModal([&](QWidget*) {
        QList<QWidget*> stops{form.findChild<QPushButton*>(QStringLiteral("btnClose"))};
        for (TLinkLabel* link : {mail, site})
            if (link->isVisible())
                stops << link;
        round = Names(TabRound(&form, stops));
        expected = Names(stops);
        QTest::keyClick(site, Qt::Key_Return);
        QTest::keyClick(site, Qt::Key_Space);
        form.close();
    });
    form.Execute();
    EXPECT_EQ(round, expected);
    EXPECT_EQ(clicks, 2);
}
