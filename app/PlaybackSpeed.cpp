#include "app/PlaybackSpeed.h"

#include <QtGlobal>

#include <cmath>
#include <cstdlib>

double SpeedOfStep(int step)
{
    return std::ldexp(1.0, step);
}

int NextSpeedStep(int step, int change)
{
    return qBound(-MaxSpeedStep, step + change, MaxSpeedStep);
}

QString SpeedText(int step)
{
    if (step == 0)
        return QString();
    const QString factor = QString::number(1 << std::abs(step));
    return QStringLiteral("\u00D7") + (step > 0 ? factor : QStringLiteral("1/") + factor);
}
