// The display-list command table: one handler per command byte. Handlers
// read theDisplayList's commandWord0 and commandWord1 and may move the walk
// (displayListAddress, displayListDepth) or end it (taskDone).
#pragma once

#include <cstdint>

using DisplayListCommand = void (*)();

extern const DisplayListCommand* const displayListCommands;

// Any command byte the table does not list: logged, shown, and the list ends.
void unallowedCommand();
