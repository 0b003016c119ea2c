#pragma once

#include <qcustomplot.h>

// Ticks of the time axis: TDateTime values labelled "hh:mm", spaced at steps
// of 1, 2, 2.5 or 5 times a power of ten days (not snapped to clock units),
// with at least 24 % of a label's width between two labels.
class TTimeAxisTicker : public QCPAxisTicker {
public:
    static QString Label(double tick);
    // The most ticks that fit an axis of this length with labels this wide.
    static int FittingTickCount(int axisLength, int labelWidth);
    // The smallest readable step that gives at most tickCount steps in rangeSize.
    static double ReadableStep(double rangeSize, int tickCount);

protected:
    double getTickStep(const QCPRange& range) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar, int precision) override;
};
