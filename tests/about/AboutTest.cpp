#include "about/About.h"
#include "about/FontFit.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Records the addresses handed to the desktop instead of opening a browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open");
    }
    ~UrlRecorder() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QList<QUrl> Opened;

public slots:
    void Open(const QUrl& url) { Opened << url; }
};

TProductInfo TestInfo()
{
    TProductInfo info = ProductInfo;
    info.SiteAddress = QStringLiteral("https://www.vorlan.example/home");
    info.ContactsAddress = QStringLiteral("https://www.vorlan.example/write-to-us");
    return info;
}

template <class T = QLabel>
T* Child(QWidget* form, const char* name)
{
    T* child = form->findChild<T*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Runs ShowAboutBox and, once the dialog is up, hands it to whileOpen. The
// dialog is closed afterwards if whileOpen left it open. Returns the dialog,
// which must be gone by then.
QPointer<TAboutForm> RunAboutBox(const TProductInfo& info, const std::function<void(TAboutForm*)>& whileOpen,
                                 QWidget* parent = nullptr)
{
    QPointer<TAboutForm> shown;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        shown = qobject_cast<TAboutForm*>(modal);
        if (shown)
            whileOpen(shown);
        else
            ADD_FAILURE() << "no About dialog is shown";
        if (modal && modal->isVisible())
            modal->close();
    });
    ShowAboutBox(info, parent);
    return shown;
}

} // namespace

TEST(About, ShowsTheProductInformation)
{
    EXPECT_EQ(ProductInfo.ProductName, QStringLiteral("Vorlan Plotreel"));
    EXPECT_EQ(ProductInfo.Version, QStringLiteral("1.00"));
    EXPECT_EQ(ProductInfo.CompanyName, QStringLiteral("VORLAN Software"));
    for (const QString& address : {ProductInfo.SiteAddress, ProductInfo.ContactsAddress, ProductInfo.ProductPageAddress})
        EXPECT_TRUE(QUrl(address, QUrl::StrictMode).isValid() && address.startsWith(QLatin1String("https://"))) << address.toStdString();

    const TProductInfo info = TestInfo();
    bool checked = false;
    const QPointer<TAboutForm> shown = RunAboutBox(info, [&](TAboutForm* form) {
        checked = true;
        EXPECT_EQ(form->windowTitle(), QStringLiteral("About"));
        EXPECT_EQ(form->size(), QSize(356, 246));
        EXPECT_EQ(Child(form, "lblProduct")->text(), QStringLiteral("Vorlan Plotreel"));
        EXPECT_EQ(Child(form, "lblProduct")->font().pixelSize(), 27);
        EXPECT_EQ(Child(form, "lblVersion")->text(), QStringLiteral("Version: 1.00"));
        EXPECT_EQ(Child(form, "Label2")->text(), QStringLiteral("Contacts:"));
        EXPECT_TRUE(Child(form, "Label2")->isVisible());
        EXPECT_EQ(Child(form, "lblMail")->text(), info.ContactsAddress);
        EXPECT_EQ(Child(form, "Label3")->text(), QStringLiteral("Website:"));
        EXPECT_EQ(Child(form, "lblSite")->text(), info.SiteAddress);
        EXPECT_EQ(Child(form, "lblCopyright")->text(), info.CopyrightNotice);
        EXPECT_EQ(Child(form, "ProductImage")->size(), QSize(32, 32));
        // Every text is whole inside the dialog.
        for (const char* name : {"lblProduct", "lblVersion", "lblMail", "lblSite", "lblCopyright"}) {
            QLabel* label = Child(form, name);
            EXPECT_TRUE(form->rect().contains(label->geometry())) << name;
            EXPECT_LE(TextExtent(label->font(), label->text()).width(), label->width()) << name;
        }
    });
    EXPECT_TRUE(checked);
    EXPECT_TRUE(shown.isNull()) << "the dialog is freed after use";
}

TEST(About, ShrinksALongProductNameToFit)
{
    struct Case {
        QString name;
        bool designedSize;
    };
    const Case cases[] = {
        {QStringLiteral("Plotreel"), true},
        {QStringLiteral("Vorlan Plotreel"), true},
        {QStringLiteral("Vorlan Plotreel Professional Edition"), false},
        {QStringLiteral("Vorlan Plotreel Professional Edition for Laboratories and Test Benches"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        TProductInfo info = TestInfo();
        info.ProductName = c.name;
        RunAboutBox(info, [&](TAboutForm* form) {
            QLabel* label = Child(form, "lblProduct");
            EXPECT_EQ(label->text(), c.name);
            EXPECT_EQ(label->font().pixelSize() == 27, c.designedSize) << label->font().pixelSize();
            EXPECT_TRUE(label->font().bold() && label->font().underline());
            EXPECT_LE(label->width(), 260);
            EXPECT_LE(label->height(), 35);
            EXPECT_EQ(label->size(), TextExtent(label->font(), c.name));
        });
    }
}

TEST(About, AnEmptyContactsAddressHidesItsCaption)
{
    UrlRecorder recorder;
    TProductInfo info = TestInfo();
    info.ContactsAddress.clear();
    RunAboutBox(info, [&](TAboutForm* form) {
        EXPECT_FALSE(Child(form, "Label2")->isVisible());
        EXPECT_TRUE(Child(form, "lblMail")->text().isEmpty());
        EXPECT_TRUE(Child(form, "Label3")->isVisible());
        EXPECT_EQ(Child(form, "lblSite")->text(), info.SiteAddress);
        // Nothing to open behind the empty link.
        QTest::mouseClick(Child(form, "lblMail"), Qt::LeftButton, {}, QPoint(0, 0));
        EXPECT_TRUE(recorder.Opened.isEmpty());
    });
}

TEST(About, ALinkClickOpensTheAddressAndLeavesTheDialogOpen)
{
    UrlRecorder recorder;
    const TProductInfo info = TestInfo();
    int result = -1;
    RunAboutBox(info, [&](TAboutForm* form) {
        QTest::mouseClick(Child(form, "lblSite"), Qt::LeftButton);
        EXPECT_TRUE(form->isVisible());
        QTest::mouseClick(Child(form, "lblMail"), Qt::LeftButton);
        EXPECT_TRUE(form->isVisible());
        // Other buttons do nothing.
        QTest::mouseClick(Child(form, "lblSite"), Qt::RightButton);
        EXPECT_EQ(Child(form, "lblSite")->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(Child(form, "lblSite")->font().underline());
        QTest::mouseClick(Child<QPushButton>(form, "btnClose"), Qt::LeftButton);
        result = form->result();
    });
    EXPECT_EQ(recorder.Opened, (QList<QUrl>{QUrl(info.SiteAddress), QUrl(info.ContactsAddress)}));
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST(About, EnterAndEscapeCloseTheDialog)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        SCOPED_TRACE(key);
        TAboutForm form;
        form.SetProductInfo(TestInfo());
        bool closedByKey = false;
        QTimer::singleShot(0, [&] {
            QPushButton* close = Child<QPushButton>(&form, "btnClose");
            EXPECT_EQ(form.focusWidget(), close) << "Close is first in the tab order";
            EXPECT_TRUE(close->isDefault());
            QTest::keyClick(form.focusWidget(), key);
            closedByKey = !form.isVisible();
            if (!closedByKey)
                form.reject();
        });
        EXPECT_EQ(form.Execute(), QDialog::Accepted);
        EXPECT_TRUE(closedByKey);
    }
}

TEST(About, IsCentredOverItsParent)
{
    // Away from the middle of the screen, where an unparented dialog would go.
    QWidget mainWindow;
    mainWindow.setGeometry(40, 30, 700, 500);
    mainWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
    QRect shownAt;
    RunAboutBox(TestInfo(), [&](TAboutForm* form) { shownAt = form->frameGeometry(); }, &mainWindow);
    const QPoint offset = shownAt.center() - mainWindow.frameGeometry().center();
    // Without a window manager Qt allows for a frame of 10 x 40 pixels that
    // it cannot measure, and moves the dialog up and left by that much.
    EXPECT_TRUE(offset.x() >= -10 && offset.x() <= 0 && offset.y() >= -40 && offset.y() <= 0)
        << offset.x() << ", " << offset.y();
}

#include "AboutTest.moc"
