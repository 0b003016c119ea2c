#include "chart/LaneValueTicker.h"

#include "chart/ChartLanes.h"

void TLaneValueTicker::SetHeights(int laneHeight, int labelHeight)
{
    mLaneHeight = laneHeight;
    mLabelHeight = labelHeight;
}

void TLaneValueTicker::generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                                QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels)
{
    const TValueSpan span = mLaneHeight > 0 ? LabelledSpan({range.lower, range.upper}, mLaneHeight, mLabelHeight)
                                            : TValueSpan{range.lower, range.upper};
    QCPAxisTicker::generate(QCPRange(span.Min, span.Max), locale, formatChar, precision, ticks, subTicks,
                            tickLabels);
}
