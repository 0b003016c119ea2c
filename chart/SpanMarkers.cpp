#include "chart/SpanMarkers.h"

#include "chart/Chart.h"

#include <qcustomplot.h>

const QColor TSpanMarkers::Color(0, 120, 215);

namespace {

// An X in time, a Y as a fraction of the plot's height.
void PlaceAt(QCPItemPosition* position, double x, double heightRatio)
{
    position->setTypeX(QCPItemPosition::ptPlotCoords);
    position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    position->setCoords(x, heightRatio);
}

QCPItemRect* Band(QCustomPlot* plot, QCPLayer* layer, const QColor& shade)
{
    auto* band = new QCPItemRect(plot);
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
    auto* line = new QCPItemLine(plot);
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
    PlaceAt(mSelection->topLeft, a, 0);
    PlaceAt(mSelection->bottomRight, b, 1);
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
    PlaceAt(mLineA->start, mA, 0);
    PlaceAt(mLineA->end, mA, 1);
    PlaceAt(mLineB->start, mB, 0);
    PlaceAt(mLineB->end, mB, 1);
    PlaceAt(mBand->topLeft, mA, 0);
    PlaceAt(mBand->bottomRight, mB, 1);
    mLineA->setVisible(mHasA);
    mLineB->setVisible(mHasB);
    mBand->setVisible(mHasA && mHasB);
    mChart.RequestCursorReplot();
}
