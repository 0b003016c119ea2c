#include "app/KeyCommands.h"

TKeyCommand KeyCommandFor(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers mods = modifiers & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    const bool plain = mods == Qt::NoModifier;
    const bool shift = mods == Qt::ShiftModifier;
    const bool alt = mods == Qt::AltModifier;
    const bool altShift = mods == (Qt::AltModifier | Qt::ShiftModifier);
    const bool ctrl = mods == Qt::ControlModifier;
    const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    // Characters that some layouts type with Shift.
    const bool character = plain || shift;

    switch (key) {
    case Qt::Key_Space:
        return plain ? TKeyCommand::PlayPause : TKeyCommand::None;
    case Qt::Key_Left:
        return plain ? TKeyCommand::FrameBack
               : shift ? TKeyCommand::JumpBack
               : alt ? TKeyCommand::NudgeFrameEarlier
               : altShift ? TKeyCommand::NudgeStepEarlier
                          : TKeyCommand::None;
    case Qt::Key_Right:
        return plain ? TKeyCommand::FrameForward
               : shift ? TKeyCommand::JumpForward
               : alt ? TKeyCommand::NudgeFrameLater
               : altShift ? TKeyCommand::NudgeStepLater
                          : TKeyCommand::None;
    case Qt::Key_Home:
        return plain ? TKeyCommand::GoToStart : TKeyCommand::None;
    case Qt::Key_End:
        return plain ? TKeyCommand::GoToEnd : TKeyCommand::None;
    case Qt::Key_BracketLeft:
        return character ? TKeyCommand::Slower : TKeyCommand::None;
    case Qt::Key_BracketRight:
        return character ? TKeyCommand::Faster : TKeyCommand::None;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        return character ? TKeyCommand::ZoomIn : TKeyCommand::None;
    case Qt::Key_Minus:
        return character ? TKeyCommand::ZoomOut : TKeyCommand::None;
    case Qt::Key_0:
        return plain ? TKeyCommand::ZoomDefault : TKeyCommand::None;
    case Qt::Key_Backspace:
        return plain ? TKeyCommand::ZoomBack : TKeyCommand::None;
    case Qt::Key_M:
        return character ? TKeyCommand::PlaceMarker : TKeyCommand::None;
    case Qt::Key_Escape:
        return plain ? TKeyCommand::ClearMarkers : TKeyCommand::None;
    case Qt::Key_O:
        return ctrl ? TKeyCommand::OpenVideo : ctrlShift ? TKeyCommand::AddVideo : TKeyCommand::None;
    case Qt::Key_L:
        return ctrl ? TKeyCommand::LoadData : TKeyCommand::None;
    case Qt::Key_S:
        return ctrl ? TKeyCommand::SaveData : TKeyCommand::None;
    case Qt::Key_E:
        return ctrl ? TKeyCommand::Export : TKeyCommand::None;
    case Qt::Key_Z:
        return ctrl ? TKeyCommand::Undo : TKeyCommand::None;
    default:
        return TKeyCommand::None;
    }
}
