#include "gui/command_keys.h"

WindowCommand windowCommandOfKey(int key, Qt::KeyboardModifiers modifiers, bool fullScreen) {
    const bool alt = modifiers & Qt::AltModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_F5:
        return WindowCommand::SaveState;
    case Qt::Key_F6:
        return shift ? WindowCommand::PreviousStateSlot : WindowCommand::NextStateSlot;
    case Qt::Key_F7:
        return WindowCommand::LoadState;
    case Qt::Key_F11:
        return WindowCommand::ToggleFullScreen;
    case Qt::Key_F12:
        return WindowCommand::Screenshot;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return alt ? WindowCommand::ToggleFullScreen : WindowCommand::None;
    case Qt::Key_Escape:
        return fullScreen ? WindowCommand::LeaveFullScreen : WindowCommand::None;
    case Qt::Key_Tab:
        return WindowCommand::FastForward;
    case Qt::Key_Pause:
    case Qt::Key_P:
        return WindowCommand::TogglePause;
    default:
        return WindowCommand::None;
    }
}
