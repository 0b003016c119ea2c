#include "multivideo/FollowerTime.h"

#include <algorithm>
#include <cmath>

namespace {

// Drift beyond this is sought away at once rather than played up.
constexpr double SeekDriftSeconds = 0.25;
// A drift is made up over this long.
constexpr double CatchUpSeconds = 1.0;
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

TFollowerCorrection FollowerCorrection(double ahead, double frameSeconds)
{
    if (std::abs(ahead) <= frameSeconds / 2)
        return {};
    if (std::abs(ahead) > SeekDriftSeconds)
        return {true, 1};
    return {false, 1 - std::clamp(ahead / CatchUpSeconds, -MaxSpeedChange, MaxSpeedChange)};
}
