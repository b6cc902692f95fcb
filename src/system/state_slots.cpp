#include "system/state_slots.h"

#include <cstdio>
#include <cstdlib>

std::string stateFolder() {
    // XDG: a relative XDG_DATA_HOME is invalid and ignored.
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        return "";
    }
    return base + "/Orvex/states";
}

std::string stateSlotPath(const RomIdentity& rom, int slot) {
    const std::string folder = stateFolder();
    if (folder.empty()) return "";
    char name[48];
    std::snprintf(name, sizeof name, "/%08X-%08X.slot%d.state", rom.crc1, rom.crc2, slot);
    return folder + name;
}

int nextStateSlot(int slot) {
    return (slot + 1) % STATE_SLOT_COUNT;
}

int previousStateSlot(int slot) {
    return (slot + STATE_SLOT_COUNT - 1) % STATE_SLOT_COUNT;
}
