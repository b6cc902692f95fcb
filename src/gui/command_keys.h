// The keys the output window keeps for its own commands. They never reach the
// controller plug-ins' key state, so a command never also presses a button:
// Enter is Start on the keyboard pad, Alt+Enter switches to full screen.
#pragma once

#include <QMetaType>
#include <Qt>

enum class WindowCommand {
    None,
    SaveState,         // F5
    NextStateSlot,     // F6
    PreviousStateSlot, // Shift+F6
    LoadState,         // F7
    ToggleFullScreen,  // F11, Alt+Enter
    LeaveFullScreen,   // Esc, in full screen only
    Screenshot,        // F12
    FastForward,       // Tab, while held
    TogglePause,       // Pause/Break, P
};

// The command of a key pressed with the given modifiers; None for keys that
// belong to the controllers.
WindowCommand windowCommandOfKey(int qtKey, Qt::KeyboardModifiers modifiers, bool fullScreen);

Q_DECLARE_METATYPE(WindowCommand)
