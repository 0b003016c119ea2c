#include "chart/Chart.h"

#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// How much of a pixel a blue line covers, from 0 to 1, on the white plot.
double Ink(const QImage& image, int x, int y)
{
    return 1 - image.pixelColor(x, y).red() / 255.0;
}

// Pixels inked at least half in one picture with no ink within a pixel in the
// other, inside `area`.
int Unmatched(const QImage& a, const QImage& b, const QRect& area)
{
    const auto inkedNear = [&](const QImage& image, int x, int y) {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (area.contains(x + dx, y + dy) && Ink(image, x + dx, y + dy) >= 0.05)
                    return true;
        return false;
    };
    int unmatched = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((Ink(a, x, y) >= 0.5 && !inkedNear(b, x, y)) || (Ink(b, x, y) >= 0.5 && !inkedNear(a, x, y)))
                ++unmatched;
    return unmatched;
}

int Inked(const QImage& image, const QRect& area)
{
    int inked = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            inked += Ink(image, x, y) >= 0.5;
    return inked;
}

// Three series of different shapes and ranges in lanes, each beside a plain
// graph of the same points on its lane's axes, drawn by QCustomPlot's own
// stroke: what the series would look like drawn alone in its lane.
class LaneDrawing : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        chart.resize(600, 480);
        const int points = GetParam();
        for (int k = 0; k < 3; ++k) {
            TFastLineSeries* line = chart.AddSeries(std::make_unique<TFastLineSeries>());
            line->SetTitle("Series " + QByteArray::number(k));
            line->SetLineWidth(2);
            line->SetSeriesColor(Qt::blue);
            for (int i = 0; i < points; ++i) {
                const double x = 100.0 * i / (points - 1);
                line->AddXY(x, (k + 1) * 100 * std::sin(x / (5 + 7 * k)) + 1000 * k);
            }
            lines.push_back(line);
        }
        chart.BottomAxis().SetMinMax(0, 100);
        chart.SetLaned(true);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        chart.ReplotNow();
        ASSERT_EQ(chart.LaneCount(), 3);
        QCustomPlot* plot = chart.Plot();
        // The series' own graphs, in the order the series were added.
        ASSERT_EQ(plot->graphCount(), 3);
        for (int k = 0; k < 3; ++k)
            graphs.push_back(plot->graph(k));
        for (int k = 0; k < 3; ++k) {
            plot->axisRect(k)->axis(QCPAxis::atLeft)->grid()->setVisible(false);
            plot->axisRect(k)->axis(QCPAxis::atBottom)->grid()->setVisible(false);
            QCPGraph* reference = plot->addGraph(graphs[k]->keyAxis(), graphs[k]->valueAxis());
            reference->setAdaptiveSampling(false);
            reference->setPen(graphs[k]->pen());
            reference->setData(graphs[k]->data());
            reference->setVisible(false);
            references.push_back(reference);
        }
    }

    // The series of lane `alone` drawn by the plain graph instead, or none.
    void ShowReference(int alone)
    {
        for (int k = 0; k < 3; ++k) {
            graphs[k]->setVisible(k != alone);
            references[k]->setVisible(k == alone);
        }
    }

    QImage Window(int alone)
    {
        ShowReference(alone);
        chart.ReplotNow();
        return chart.Plot()->grab().toImage();
    }

    // As a picture or a clip draws the chart: into an image of its own,
    // lower down.
    QImage Picture(int alone)
    {
        ShowReference(alone);
        constexpr int Above = 37;
        QImage image(chart.Plot()->width(), chart.Plot()->height() + Above, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QCPPainter painter(&image);
            painter.translate(0, Above);
            chart.Plot()->toPainter(&painter, chart.Plot()->width(), chart.Plot()->height());
        }
        chart.ReplotNow();
        return image.copy(0, Above, chart.Plot()->width(), chart.Plot()->height());
    }

    TChart chart;
    std::vector<TFastLineSeries*> lines;
    std::vector<QCPGraph*> graphs;
    std::vector<QCPGraph*> references;
};

} // namespace

TEST_P(LaneDrawing, EachLaneShowsItsSeriesAsItWouldBeDrawnAloneThere)
{
    for (const bool picture : {false, true}) {
        SCOPED_TRACE(picture ? "picture" : "window");
        const QImage all = picture ? Picture(-1) : Window(-1);
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE("lane " + std::to_string(k));
            const QImage alone = picture ? Picture(k) : Window(k);
            const QRect lane = chart.Plot()->axisRect(k)->rect().adjusted(1, 1, -1, -1);
            EXPECT_GT(Inked(alone, lane), lane.width());
            EXPECT_EQ(Unmatched(all, alone, lane), 0);
        }
    }
}

// Many points are drawn from the series' summary, a few point by point.
INSTANTIATE_TEST_SUITE_P(Points, LaneDrawing, ::testing::Values(20000, 13));
