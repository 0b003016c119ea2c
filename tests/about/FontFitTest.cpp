#include "about/FontFit.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

QFont BoldArial(int pixels)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

const QString LongName = QStringLiteral("Vorlan Plotreel Professional Edition");

} // namespace

TEST(FontFit, KeepsTheSizeWhenTheTextFits)
{
    const QFont fitted = FitFontToBox(BoldArial(27), QStringLiteral("Plotreel"), QSize(260, 35));
    EXPECT_EQ(fitted.pixelSize(), 27);
    EXPECT_TRUE(fitted.bold());
}

TEST(FontFit, LowersOnePointAtATimeToTheLargestSizeThatFits)
{
    // Points are whole at 96 pixels per inch, so from 27 px (20 pt) the sizes
    // go 25 px (19 pt), 24 px (18 pt), 23 px (17 pt), 21 px (16 pt).
    struct Case {
        QSize limit;
        int expectedPixels;
    };
    const QSize at27 = TextExtent(BoldArial(27), LongName);
    const QSize at24 = TextExtent(BoldArial(24), LongName);
    const Case cases[] = {
        // Exactly as large as the text at the designed size: that fits.
        {at27, 27},
        // One pixel short in either direction: the next point down.
        {at27 - QSize(1, 0), 25},
        {at27 - QSize(0, 1), 25},
        {at24, 24},
        // 26 px is no whole point: the step from 27 px goes to 25 px.
        {TextExtent(BoldArial(26), LongName), 25},
        {at24 - QSize(1, 0), 23},
        {TextExtent(BoldArial(22), LongName), 21},
    };
    for (const Case& c : cases) {
        const QFont fitted = FitFontToBox(BoldArial(27), LongName, c.limit);
        EXPECT_EQ(fitted.pixelSize(), c.expectedPixels) << c.limit.width() << " x " << c.limit.height();
        const QSize extent = TextExtent(fitted, LongName);
        EXPECT_LE(extent.width(), c.limit.width());
        EXPECT_LE(extent.height(), c.limit.height());
    }
}

TEST(FontFit, StopsAtOnePointWhenNothingFits)
{
    EXPECT_EQ(FitFontToBox(BoldArial(27), QString(2000, QLatin1Char('W')), QSize(260, 35)).pixelSize(), 1);
    EXPECT_EQ(FitFontToBox(BoldArial(27), QStringLiteral("Plotreel"), QSize(0, 0)).pixelSize(), 1);
}

TEST(FontFit, MeasuresAsALabelSizesItself)
{
    QFont underlined = BoldArial(27);
    underlined.setUnderline(true);
    const QFont fonts[] = {BoldArial(27), underlined, BoldArial(9)};
    const QString texts[] = {QStringLiteral("Vorlan Plotreel"), LongName, QStringLiteral("Wij \u00C5g")};
    for (const QFont& font : fonts) {
        for (const QString& text : texts) {
            QLabel label(text);
            label.setFont(font);
            EXPECT_EQ(TextExtent(font, text), label.sizeHint()) << text.toStdString() << " at " << font.pixelSize();
        }
    }
}
