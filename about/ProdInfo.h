#pragma once

#include <QString>

// What the user interface tells about the product.
struct TProductInfo {
    QString ProductName;
    QString Version;
    QString SiteAddress;
    QString ContactsAddress;     // a web page, not a mail address
    QString ProductPageAddress;
    QString CompanyName;
    QString CopyrightNotice;
};

// The product's own information, fixed for the whole run.
extern const TProductInfo ProductInfo;
