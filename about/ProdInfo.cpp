#include "about/ProdInfo.h"

const TProductInfo ProductInfo{
    QStringLiteral("Vorlan Plotreel"),
    QStringLiteral(PLOTREEL_VERSION),
    QStringLiteral("https://www.vorlan.example/"),
    QStringLiteral("https://www.vorlan.example/contacts"),
    QStringLiteral("https://www.vorlan.example/products/plotreel"),
    QStringLiteral("VORLAN Software"),
    QStringLiteral("Copyright \u00A9 2024 VORLAN Software. All rights reserved."),
};
