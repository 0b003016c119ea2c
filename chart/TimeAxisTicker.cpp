#include "chart/TimeAxisTicker.h"

#include "common/DateTime.h"

#include <algorithm>
#include <cmath>

QString TTimeAxisTicker::Label(double tick)
{
    return TimeOfDay(tick).toString(QStringLiteral("hh:mm"));
}

int TTimeAxisTicker::FittingTickCount(int axisLength, int labelWidth)
{
    const double slot = std::max(1, labelWidth) * 1.24;
    return std::max(1, static_cast<int>(axisLength / slot));
}

double TTimeAxisTicker::ReadableStep(double rangeSize, int tickCount)
{
    const double exact = rangeSize / std::max(1, tickCount);
    if (!(exact > 0) || !std::isfinite(exact))
        return 1.0;
    const double magnitude = std::pow(10.0, std::floor(std::log10(exact)));
    for (double mantissa : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        // A small tolerance keeps an exact fit from jumping to the next step.
        if (mantissa * magnitude >= exact * (1 - 1e-9))
            return mantissa * magnitude;
    }
    return 10.0 * magnitude;
}

double TTimeAxisTicker::getTickStep(const QCPRange& range)
{
    return ReadableStep(range.size(), tickCount());
}

QString TTimeAxisTicker::getTickLabel(double tick, const QLocale&, QChar, int)
{
    return Label(tick);
}
