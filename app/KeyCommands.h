#pragma once

#include <Qt>

// The commands that keys of the main window give.
enum class TKeyCommand {
    None,
    PlayPause,
    FrameBack,
    FrameForward,
    JumpBack,
    JumpForward,
    GoToStart,
    GoToEnd,
    NudgeFrameEarlier,
    NudgeFrameLater,
    NudgeStepEarlier,
    NudgeStepLater,
    Slower,
    Faster,
    OpenVideo,
    AddVideo,
    LoadData,
    SaveData,
    Export,
    ZoomIn,
    ZoomOut,
    ZoomDefault,
    ZoomBack,
    PlaceMarker,
    ClearMarkers,
    Undo,
};

// The command of a key with its modifiers. The keypad and the keyboard
// layout's group do not matter; Shift matters only where the key names no
// character of its own.
TKeyCommand KeyCommandFor(int key, Qt::KeyboardModifiers modifiers);

// How far Shift+Left and Shift+Right jump, and Alt+Shift+Left and
// Alt+Shift+Right move the data, in seconds.
constexpr float JumpSeconds = 5.0f;
constexpr double NudgeStepSeconds = 0.1;
