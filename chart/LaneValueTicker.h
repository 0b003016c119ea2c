#pragma once

#include <qcustomplot.h>

// Ticks of a lane's value axis: as QCustomPlot places them, but only where
// their labels stay within the lane (see LabelledSpan), once told the lane's
// and a label's height; over the whole range until then.
class TLaneValueTicker : public QCPAxisTicker {
public:
    // A height of 0 places ticks over the whole range.
    void SetHeights(int laneHeight, int labelHeight);

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) override;

private:
    int mLaneHeight = 0;
    int mLabelHeight = 0;
};
