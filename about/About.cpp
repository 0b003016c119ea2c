#include "about/About.h"

#include "about/FontFit.h"
#include "about/LinkLabel.h"
#include "common/glyphs/Glyphs.h"
#include "common/Fonts.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

namespace {

// The font that the product name gets when it fits.
QFont ProductNameFont()
{
    QFont font = ArialFont(27, true);
    font.setUnderline(true);
    return font;
}

QLabel* AddLabel(QWidget* parent, const char* name, int x, int y, const QString& text = {})
{
    auto label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

TLinkLabel* AddLink(QWidget* parent, const char* name, int x, int y)
{
    auto label = new TLinkLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    return label;
}

void OpenAddress(const QString& address)
{
    // A failure to open the address is not reported: the dialog simply stays.
    if (!address.isEmpty())
        QDesktopServices::openUrl(QUrl(address));
}

} // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(356, 246);
    setFont(ArialFont(13));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Button));
    setPalette(palette);
    setAutoFillBackground(true);

    // The button comes first so that it is first in the tab order and has the focus.
    btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(143, 209, 75, 25);
    btnClose->setDefault(true);
    btnClose->setFocus();
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    ProductImage = AddLabel(this, "ProductImage", 18, 16);
    ProductImage->setPixmap(GlyphIcon(Glyphs::AppIcon).pixmap(Glyphs::AppIcon.Size));
    ProductImage->adjustSize();

    lblProduct = AddLabel(this, "lblProduct", 70, 16);
    lblProduct->setFont(ProductNameFont());

    lblVersion = AddLabel(this, "lblVersion", 70, 58);
    lblVersion->setFont(ArialFont(13, true));

    Label2 = AddLabel(this, "Label2", 70, 117, QStringLiteral("Contacts:"));
    lblMail = AddLink(this, "lblMail", 130, 117);
    connect(lblMail, &TLinkLabel::clicked, this, &TAboutForm::lblMailClick);

    Label3 = AddLabel(this, "Label3", 70, 142, QStringLiteral("Website:"));
    lblSite = AddLink(this, "lblSite", 130, 142);
    connect(lblSite, &TLinkLabel::clicked, this, &TAboutForm::lblSiteClick);

    auto Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setGeometry(30, 170, 302, 2);

    lblCopyright = AddLabel(this, "lblCopyright", 0, 177);
    lblCopyright->setFont(ArialFont(11));
    lblCopyright->setAlignment(Qt::AlignCenter);
    lblCopyright->setFixedSize(352, 14);
}

void TAboutForm::SetProductInfo(const TProductInfo& info)
{
    mProductName = info.ProductName;
    mVersion = info.Version;
    mSiteAddress = info.SiteAddress;
    mContactsAddress = info.ContactsAddress;
    mCopyrightNotice = info.CopyrightNotice;
}

int TAboutForm::Execute()
{
    FitProductName();
    lblVersion->setText(QStringLiteral("Version: ") + mVersion);
    lblVersion->adjustSize();
    lblSite->setText(mSiteAddress);
    lblSite->adjustSize();
    lblMail->setText(mContactsAddress);
    lblMail->adjustSize();
    Label2->setVisible(!mContactsAddress.isEmpty());
    // An empty link shows nothing; hidden, the Tab key passes it by.
    lblMail->setVisible(!mContactsAddress.isEmpty());
    lblSite->setVisible(!mSiteAddress.isEmpty());
    lblCopyright->setText(mCopyrightNotice);
    return exec();
}

void TAboutForm::FitProductName()
{
    lblProduct->setText(mProductName);
    lblProduct->setFont(FitFontToBox(ProductNameFont(), mProductName, ProductNameLimit));
    lblProduct->adjustSize();
}

void TAboutForm::keyPressEvent(QKeyEvent* event)
{
    // Escape presses the Close button, as Enter does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnClose->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutForm::lblSiteClick()
{
    OpenAddress(mSiteAddress);
}

void TAboutForm::lblMailClick()
{
    OpenAddress(mContactsAddress);
}

void ShowAboutBox(TProductInfo info, QWidget* parent)
{
    TAboutForm form(parent ? parent : QApplication::activeWindow());
    form.SetProductInfo(info);
    form.Execute();
}
