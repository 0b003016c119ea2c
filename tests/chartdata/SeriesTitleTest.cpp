#include "chartdata/SeriesTitle.h"

#include <gtest/gtest.h>

namespace {

struct TDisplayCase {
    const char* Name;
    QByteArray Bytes;
    QString Display;
};

TEST(SeriesTitle, ShowsUtf8WhereValidAndLatin1Otherwise)
{
    const QByteArray a98(98, 'a');
    const QByteArray a99(99, 'a');
    const TDisplayCase cases[] = {
        {"empty", "", ""},
        {"ascii", "Pressure 1", "Pressure 1"},
        {"utf8", "Druck \xC3\xBC \xE2\x82\xAC", QString::fromUtf8("Druck \xC3\xBC \xE2\x82\xAC")},
        {"latin1", "Temp \xB0" "C", QStringLiteral("Temp ") + QChar(0xB0) + QStringLiteral("C")},
        {"latin1 letter at the end", "Stra\xDF" "e \xC4", QStringLiteral("Stra") + QChar(0xDF) + "e " + QChar(0xC4)},
        {"lone continuation byte", "a\x80z", QStringLiteral("a") + QChar(0x80) + "z"},
        {"utf8 bom kept", "\xEF\xBB\xBFX", QString(QChar(0xFEFF)) + "X"},
        {"full field, whole character", a98 + "\xC3\xBC", QString::fromLatin1(a98) + QChar(0xFC)},
        {"full field, character cut", a99 + "\xC3", QString::fromLatin1(a99)},
        {"full field, latin1 inside", "\xB5" + a98 + "\xC3", QChar(0xB5) + QString::fromLatin1(a98) + QChar(0xC3)},
    };
    for (const TDisplayCase& c : cases)
        EXPECT_EQ(TitleToDisplay(c.Bytes), c.Display) << c.Name;
}

TEST(SeriesTitle, TypedTitlesAreStoredAsUtf8AndShownUnchanged)
{
    const QString titles[] = {QString(), QStringLiteral("Speed"),
                              QString::fromUtf8("Temperatur \xC3\x84u\xC3\x9F" "en \xC2\xB0" "C"),
                              QString::fromUtf8("\xE6\xB8\xA9\xE5\xBA\xA6 \xF0\x9F\x8C\xA1")};
    for (const QString& title : titles) {
        const QByteArray bytes = TitleFromDisplay(title);
        EXPECT_EQ(bytes, title.toUtf8());
        EXPECT_EQ(TitleToDisplay(bytes), title);
    }
}

} // namespace
