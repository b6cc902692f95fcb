// Where the window program keeps saved states: ten slots per ROM in the
// user's data folder ($XDG_DATA_HOME, by default ~/.local/share) under
// Orvex/states/, each file named after the ROM's header CRCs and its slot.
#pragma once

#include <string>

#include "system/save_state.h"

constexpr int STATE_SLOT_COUNT = 10;

// The folder of the states ("" when neither XDG_DATA_HOME nor HOME is set).
std::string stateFolder();
// "<folder>/<CRC1>-<CRC2>.slot<N>.state" for slot 0 to 9.
std::string stateSlotPath(const RomIdentity& rom, int slot);
// The slot after / before `slot`, going round.
int nextStateSlot(int slot);
int previousStateSlot(int slot);
