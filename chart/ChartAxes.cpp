#include "chart/ChartAxes.h"

#include "chart/Chart.h"
#include "common/Exception.h"

#include <qcustomplot.h>

#include <algorithm>

namespace {

// A range the plot can draw: a zero width is widened to a millisecond.
QCPRange DrawableRange(double min, double max)
{
    if (max - min > 0)
        return QCPRange(min, max);
    const double half = 0.5 / (24.0 * 60 * 60 * 1000);
    return QCPRange(min - half, max + half);
}

} // namespace

TTimeAxis::TTimeAxis(TChart& chart, QCPAxis* axis) : mChart(chart), mAxis(axis)
{
}

void TTimeAxis::SetMinimum(double value)
{
    if (value > mMax)
        throw Exception(QStringLiteral("Axis minimum value must be less than or equal to its maximum value."));
    mMin = value;
    Apply();
}

void TTimeAxis::SetMaximum(double value)
{
    if (value < mMin)
        throw Exception(QStringLiteral("Axis maximum value must be greater than or equal to its minimum value."));
    mMax = value;
    Apply();
}

void TTimeAxis::SetMinMax(double a, double b)
{
    mMin = std::min(a, b);
    mMax = std::max(a, b);
    Apply();
}

double TTimeAxis::CalcPosPoint(int x) const
{
    return mAxis->pixelToCoord(x);
}

void TTimeAxis::Apply()
{
    mAxis->setRange(DrawableRange(mMin, mMax));
    mChart.RequestReplot();
}

TValueAxis::TValueAxis(TChart& chart, QCPAxis* axis) : mChart(chart), mAxis(axis)
{
}

double TValueAxis::Minimum() const
{
    return mAxis->range().lower;
}

double TValueAxis::Maximum() const
{
    return mAxis->range().upper;
}

void TValueAxis::AdjustNow()
{
    mChart.AdjustValueAxes();
}
