#include "chart/SpanMarkers.h"

#include "chart/Chart.h"
#include "chart/LaneItems.h"

#include <qcustomplot.h>

const QColor TSpanMarkers::Color(0, 120, 215);

namespace {

QCPItemRect* Band(QCustomPlot* plot, QCPLayer* layer, const QColor& shade)
{
    auto* band = new TAcrossLanes<QCPItemRect>(plot);
    band->setLayer(layer);
    band->setClipToAxisRect(true);
    band->setPen(Qt::NoPen);
    band->setBrush(shade);
    band->setSelectable(false);
    band->setVisible(false);
    return band;
}

QCPItemLine* MarkerLine(QCustomPlot* plot, QCPLayer* layer)
{
    auto* line = new TAcrossLanes<QCPItemLine>(plot);
    line->setLayer(layer);
    line->setClipToAxisRect(true);
    line->setPen(QPen(TSpanMarkers::Color, 2, Qt::DashLine));
    line->setSelectable(false);
    line->setVisible(false);
    return line;
}

} // namespace

TSpanMarkers::TSpanMarkers(TChart& chart)
    : mChart(chart), mLineA(MarkerLine(chart.Plot(), chart.CursorLayer())),
      mLineB(MarkerLine(chart.Plot(), chart.CursorLayer())),
      mBand(Band(chart.Plot(), chart.CursorLayer(), QColor(Color.red(), Color.green(), Color.blue(), 40))),
      mSelection(Band(chart.Plot(), chart.CursorLayer(), QColor(0, 0, 0, 50)))
{
}

void TSpanMarkers::SetA(double x)
{
    mA = x;
    mHasA = true;
    Apply();
}

void TSpanMarkers::SetB(double x)
{
    mB = x;
    mHasB = true;
    Apply();
}

void TSpanMarkers::Clear()
{
    mHasA = mHasB = false;
    Apply();
}

void TSpanMarkers::SetSelection(double a, double b)
{
    mChart.PlaceAcrossLanes(mSelection->topLeft, a, mSelection->bottomRight, b);
    mSelection->setVisible(true);
    mChart.RequestCursorReplot();
}

void TSpanMarkers::ClearSelection()
{
    mSelection->setVisible(false);
    mChart.RequestCursorReplot();
}

void TSpanMarkers::Apply()
{
    mChart.PlaceAcrossLanes(mLineA->start, mA, mLineA->end, mA);
    mChart.PlaceAcrossLanes(mLineB->start, mB, mLineB->end, mB);
    mChart.PlaceAcrossLanes(mBand->topLeft, mA, mBand->bottomRight, mB);
    mLineA->setVisible(mHasA);
    mLineB->setVisible(mHasB);
    mBand->setVisible(mHasA && mHasB);
    mChart.RequestCursorReplot();
}
