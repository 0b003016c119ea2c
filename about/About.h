#pragma once

#include "about/ProdInfo.h"

#include <QDialog>

class QLabel;
class QPushButton;
class TLinkLabel;

// The About dialog: the product's picture, name, version, the maker's
// addresses as links and the copyright notice.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // The values that Execute shows.
    void SetProductInfo(const TProductInfo& info);
    // Fills the labels and shows the dialog modally; returns its result.
    int Execute();

    // The most room the product name may take; larger names get a smaller font.
    static constexpr QSize ProductNameLimit{260, 35};

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void lblSiteClick();
    void lblMailClick();
    void FitProductName();

    QString mProductName;
    QString mVersion;
    QString mSiteAddress;
    QString mContactsAddress;
    QString mCopyrightNotice;

    QLabel* ProductImage;
    QLabel* lblProduct;
    QLabel* lblVersion;
    QLabel* Label2;
    TLinkLabel* lblMail;
    QLabel* Label3;
    TLinkLabel* lblSite;
    QLabel* lblCopyright;
    QPushButton* btnClose;
};

// Shows the About dialog for info over parent (by default the active window)
// and returns when the user has closed it.
void ShowAboutBox(TProductInfo info, QWidget* parent = nullptr);
