#include "chart/Chart.h"

#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int FixturePoints = 200000;
constexpr double FixtureEnd = 100;

// A noisy wave with single-point spikes up and down, a flat run and a step.
std::vector<TChartPoint> Fixture()
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 0.3);
    std::vector<TChartPoint> points;
    double walk = 0;
    for (int i = 0; i < FixturePoints; ++i) {
        const double x = FixtureEnd * i / FixturePoints;
        walk += noise(random);
        double y = walk + 5 * std::sin(x / 3);
        if (x >= 40 && x < 48)
            y = 3;
        if (x >= 60 && x < 61)
            y = -40;
        if (i % 9973 == 17)
            y += 25;
        if (i % 15013 == 5)
            y -= 25;
        points.push_back({x, y});
    }
    return points;
}

// How much of a pixel the blue line covers, from 0 to 1, on the white plot.
double Ink(const QImage& image, int x, int y)
{
    return 1 - image.pixelColor(x, y).red() / 255.0;
}

// A series drawn from its summary next to a plain graph of the same points
// with every point joined, on one chart with the same axes.
class SummaryDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart.resize(600, 200);
        line = chart.AddSeries(std::make_unique<TFastLineSeries>());
        line->SetLineWidth(2);
        line->SetSeriesColor(Qt::blue);
        // Blocks in ascending X, as the readers hand them over, then points
        // inserted in the middle.
        const std::vector<TChartPoint> points = Fixture();
        for (std::size_t first = 0; first < points.size(); first += 4096)
            line->AddPoints(points.data() + first, std::min<std::size_t>(4096, points.size() - first));
        line->AddXY(25.00001, 60);
        line->AddXY(75.00001, -60);

        QCustomPlot* plot = chart.Plot();
        plot->xAxis->grid()->setVisible(false);
        plot->yAxis->grid()->setVisible(false);
        summarised = plot->graph(0);
        every = plot->addGraph();
        every->setAdaptiveSampling(false);
        every->setPen(summarised->pen());
        for (int i = 0; i < line->Count(); ++i)
            every->addData(line->XValue(i), line->YValue(i));
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }

    QImage Draw(QCPGraph* shown)
    {
        summarised->setVisible(shown == summarised);
        every->setVisible(shown == every);
        chart.ReplotNow();
        return chart.Plot()->grab().toImage();
    }

    TChart chart;
    TFastLineSeries* line = nullptr;
    QCPGraph* summarised = nullptr;
    QCPGraph* every = nullptr;
};

} // namespace

// Anti-aliased edges may be shaded differently: where thousands of strokes lie
// over each other the rasteriser adds up their partial cover, which darkens
// edge pixels of the plain drawing. So every pixel that one drawing inks at
// least half must have ink in the other within one pixel (no spike missing,
// no line moved further), and only a small share of the plot's pixels may
// differ by more than half their ink.
TEST_F(SummaryDrawing, LooksLikeJoiningEveryPoint)
{
    // Where thousands of points fill a column, the plain drawing's edges are
    // darker still, so the narrow chart has twice the share.
    const struct {
        int width;
        double min;
        double max;
        int shadedPercent;
    } views[] = {
        {600, 0, FixtureEnd, 1},  // about 350 points a pixel column
        {600, 20, 30, 1},         // about 35
        {600, 39.5, 48.5, 1},     // the flat run between noise
        {600, 59.9, 61.3, 1},     // the step, at about 5 points a column
        {600, 50, 50.2, 1},       // fewer points than columns: every point drawn
        {600, 24.99, 25.01, 1},   // the inserted spike, close up
        {150, 0, FixtureEnd, 2},  // about 2000 points a column
    };
    for (const auto& view : views) {
        chart.resize(view.width, 200);
        chart.BottomAxis().SetMinMax(view.min, view.max);
        const QImage summary = Draw(summarised);
        const QImage reference = Draw(every);
        const QRect plot = chart.Plot()->axisRect()->rect();
        int missing = 0;
        int shaded = 0;
        for (int x = plot.left(); x <= plot.right(); ++x) {
            for (int y = plot.top(); y <= plot.bottom(); ++y) {
                const auto inkedNear = [&](const QImage& image) {
                    for (int dx = -1; dx <= 1; ++dx)
                        for (int dy = -1; dy <= 1; ++dy)
                            if (plot.contains(x + dx, y + dy) && Ink(image, x + dx, y + dy) >= 0.05)
                                return true;
                    return false;
                };
                if ((Ink(reference, x, y) >= 0.5 && !inkedNear(summary))
                    || (Ink(summary, x, y) >= 0.5 && !inkedNear(reference))) {
                    ++missing;
                }
                if (std::abs(Ink(reference, x, y) - Ink(summary, x, y)) > 0.5)
                    ++shaded;
            }
        }
        EXPECT_EQ(missing, 0) << "view " << view.min << ".." << view.max << " at " << view.width << " px";
        EXPECT_LT(shaded, plot.width() * plot.height() * view.shadedPercent / 100)
            << "view " << view.min << ".." << view.max << " at " << view.width << " px";
    }
}
