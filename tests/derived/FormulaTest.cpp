#include "common/Exception.h"
#include "derived/Formula.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double Day = 1.0 / 86400; // a second as a TDateTime
constexpr double T0 = 45000.25;     // a morning in 2023

// Points at whole seconds from T0 with the given values.
std::vector<TChartPoint> AtSeconds(std::vector<double> seconds, std::vector<double> values)
{
    std::vector<TChartPoint> points;
    for (std::size_t i = 0; i < seconds.size(); ++i)
        points.push_back({T0 + seconds[i] * Day, values[i]});
    return points;
}

struct TComputed {
    std::vector<double> Seconds;
    std::vector<double> Values;
};

class FormulaTest : public testing::Test {
protected:
    // a1: 1 2 3 4 at 0..3 s; a2: 10 20 0 40 at 0..3 s; a3: 0 10 20 at 0.5, 1.5, 2.5 s;
    // "speed" is a4's title.
    std::vector<std::vector<TChartPoint>> Series = {
        AtSeconds({0, 1, 2, 3}, {1, 2, 3, 4}),
        AtSeconds({0, 1, 2, 3}, {10, 20, 0, 40}),
        AtSeconds({0.5, 1.5, 2.5}, {0, 10, 20}),
        AtSeconds({0, 1, 2, 3}, {5, 6, 7, 8}),
    };
    QStringList Titles = {"Pressure A [bar]", "Pressure B [bar]", "late", "speed"};

    TComputed Compute(const QString& text)
    {
        const TFormula formula(text, SeriesNames(Titles));
        std::vector<TPointsView> views;
        for (const auto& series : Series)
            views.push_back(ViewOf(series));
        TComputed computed;
        formula.Evaluate(views, std::nullopt, [&](const TChartPoint* points, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i) {
                computed.Seconds.push_back(std::round((points[i].X - T0) / Day * 1e6) / 1e6);
                computed.Values.push_back(points[i].Y);
            }
        });
        return computed;
    }
};

struct TCase {
    const char* Formula;
    std::vector<double> Seconds;
    std::vector<double> Values;
    // Read between points, times near today count to about 0.3 us of the
    // seconds between them.
    double Tolerance = 1e-9;
};

TEST_F(FormulaTest, ComputesWhatTheFormulaSaysOnTheTimesOfItsFirstSeries)
{
    const TCase cases[] = {
        {"a1 + a2", {0, 1, 2, 3}, {11, 22, 3, 44}},
        {"a1*2 - 1", {0, 1, 2, 3}, {1, 3, 5, 7}},
        {"sqrt(a1^2 + (a1*0)^2 + a1^2*3)", {0, 1, 2, 3}, {2, 4, 6, 8}},
        {"speed - a1", {0, 1, 2, 3}, {4, 4, 4, 4}},
        {"if(a1 > 2, a1, -a1)", {0, 1, 2, 3}, {-1, -2, 3, 4}},
        {"max(a1, 2.5) + min(a1, 2)", {0, 1, 2, 3}, {3.5, 4.5, 5, 6}},
        {"log(exp(a1)) + abs(-a1)", {0, 1, 2, 3}, {2, 4, 6, 8}},
        // Division by zero leaves a gap, not a zero, and the line goes on after it.
        {"a1 / a2 * 10", {0, 1, 3}, {1, 1, 1}},
        // a3 interpolated on a1's times; outside a3's span no point.
        {"a1 + a3", {1, 2}, {7, 18}, 1e-5},
        // The first series named gives the times, here a3's.
        {"a3 + a1", {0.5, 1.5, 2.5}, {1.5, 12.5, 23.5}, 1e-5},
        // Functions of time, also over a formula and inside one.
        {"ddt(a1) * 2", {0, 1, 2, 3}, {2, 2, 2, 2}},
        {"integral(a1)", {0, 1, 2, 3}, {0, 1.5, 4, 7.5}},
        {"integral(a1 * 2) + 1", {0, 1, 2, 3}, {1, 4, 9, 16}},
        {"shift(a1, 0.5) + a3", {0.5, 1.5, 2.5}, {1, 12, 23}, 1e-5},
        {"mean(a1, 2)", {0, 1, 2, 3}, {1.5, 2, 3, 3.5}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Formula);
        const TComputed computed = Compute(QString::fromLatin1(c.Formula));
        ASSERT_EQ(computed.Seconds, c.Seconds);
        ASSERT_EQ(computed.Values.size(), c.Values.size());
        for (std::size_t i = 0; i < c.Values.size(); ++i)
            EXPECT_NEAR(computed.Values[i], c.Values[i], c.Tolerance) << "at " << i;
    }
}

TEST_F(FormulaTest, ListsTheSeriesItReadsInTheOrderItNamesThem)
{
    const TFormula formula("speed + ddt(a3) * a1 + a4", SeriesNames(Titles));
    EXPECT_EQ(formula.Inputs(), (std::vector<int>{3, 2, 0}));
}

TEST_F(FormulaTest, NamesTheProblemAndItsColumnBeforeComputingAnything)
{
    const std::pair<const char*, const char*> cases[] = {
        {"a1 + ax", "unknown series 'ax' at column 6."},
        {"foo(a1)", "unknown function 'foo' at column 1."},
        {"ddt(a1 + ax)", "unknown series 'ax' at column 10."},
        {"a1 +", "the formula ends too early at column 5."},
        {"(a1 + 2", "a ')' is missing at column 8."},
        {"a1 + é", "unexpected 'é' at column 6."},
        {"mean(a1)", "mean takes a series and a number at column 1."},
        {"2 + mean(a1, 0)", "the window of mean must be more than 0 seconds at column 14."},
        {"rms(a1, a2)", "the seconds of rms must be a number at column 9."},
        {"cfc(a1, 100)", "the class of cfc must be 60, 180, 600 or 1000 at column 9."},
        {"ddt(2)", "ddt needs a series at column 5."},
        {"ddt(a1", "the ')' of ddt( is missing at column 4."},
        {"  ", "The formula is empty."},
        {"2 * _pi", "The formula names no series: it needs one to take its times from."},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            TFormula formula(QString::fromUtf8(text), SeriesNames(Titles));
            ADD_FAILURE() << "no error";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), QString::fromUtf8(message));
        }
    }
}

} // namespace
