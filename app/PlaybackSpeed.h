#pragma once

#include <QString>

// Playback speeds go in steps of a factor of two, from 1/8 to 8 times.
constexpr int MaxSpeedStep = 3;

// The speed factor of a step: 2 to the power of the step.
double SpeedOfStep(int step);
// The step `change` steps away, held between -MaxSpeedStep and MaxSpeedStep.
int NextSpeedStep(int step, int change);
// The speed as shown beside the time: "×2", "×1/4"; empty at normal speed.
QString SpeedText(int step);
