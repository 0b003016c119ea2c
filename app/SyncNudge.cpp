#include "app/SyncNudge.h"

#include <cmath>

TSyncState NudgeSync(const TSyncState& state, double seconds)
{
    const double days = seconds / SecondsPerDay;
    return {state.StartTime - days,
            {state.Full.Min - days, state.Full.Max - days},
            {state.View.Min - days, state.View.Max - days},
            state.Cursor - days};
}

QString SyncOffsetText(TDateTime startTime, TDateTime baseStart)
{
    const long long ms = std::llround((baseStart - startTime) * SecondsPerDay * 1000);
    if (ms == 0)
        return QString();
    return QStringLiteral("sync %1%2.%3 s")
        .arg(ms > 0 ? QLatin1Char('+') : QLatin1Char('-'))
        .arg(std::llabs(ms) / 1000)
        .arg(std::llabs(ms) % 1000, 3, 10, QLatin1Char('0'));
}
