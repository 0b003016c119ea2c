#include "derived/SeriesNames.h"

#include <gtest/gtest.h>

namespace {

TEST(SeriesNames, PositionsAlwaysAndTitlesOnlyWhereTheyNameOneSeriesPlainly)
{
    const QStringList titles = {"ax", "Pressure A", "sin", "a1", "dup", "dup", "_x", "x1", "if"};
    QStringList names;
    for (const TSeriesName& name : SeriesNames(titles))
        names << QStringLiteral("%1=%2").arg(name.Name).arg(name.Series);
    EXPECT_EQ(names.join(' '), "a1=0 a2=1 a3=2 a4=3 a5=4 a6=5 a7=6 a8=7 a9=8 ax=0 x1=7");
}

} // namespace
