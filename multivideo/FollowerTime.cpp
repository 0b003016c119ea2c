#include "multivideo/FollowerTime.h"

#include <algorithm>
#include <cmath>

namespace {

// Drift beyond this is sought away at once rather than played up.
constexpr double SeekDriftSeconds = 0.25;
// A drift is made up over about this long.
constexpr double CatchUpSeconds = 0.5;
// Drift within this part of a frame is left alone.
constexpr double DriftLeftFrames = 0.2;
// An exact seek may show a frame up to this much before its target.
constexpr double SeekToleranceSeconds = 0.005;
// Speed changes stay this small, so that nobody sees them.
constexpr double MaxSpeedChange = 0.1;

} // namespace

TFollowerTime FollowerTimeAt(double mainSeconds, double offsetSeconds, double duration, double frameSeconds)
{
    const double seconds = mainSeconds + offsetSeconds;
    // The last frame begins a frame before the end.
    const double lastFrame = std::max(0.0, duration - frameSeconds);
    if (seconds < 0)
        return {0, true};
    if (seconds >= duration)
        return {lastFrame, true};
    return {std::min(seconds, lastFrame), false};
}

bool ShowsFrameFor(double shown, double seconds, double frameSeconds)
{
    return shown >= seconds - SeekToleranceSeconds && shown < seconds + frameSeconds;
}

double FollowerAhead(const TPlayingPosition& main, const TPlayingPosition& added, double offsetSeconds)
{
    if (main.Clock && added.Clock)
        return *added.Clock - (*main.Clock + offsetSeconds);
    return added.Frame - (main.Frame + offsetSeconds);
}

TFollowerCorrection FollowerCorrection(double ahead, double frameSeconds)
{
    if (std::abs(ahead) <= frameSeconds * DriftLeftFrames)
        return {};
    if (std::abs(ahead) > SeekDriftSeconds)
        return {true, 1};
    return {false, 1 - std::clamp(ahead / CatchUpSeconds, -MaxSpeedChange, MaxSpeedChange)};
}
