#include "rsp/display_list_commands.h"

#include <array>

#include "base/log.h"
#include "rsp/display_list_state.h"
#include "rsp/geometry_commands.h"
#include "rsp/rdp_commands.h"

void unallowedCommand() {
    const DisplayListState& s = theDisplayList;
    const uint32_t command = s.commandWord0 >> 24;
    logLine("Unallowed DL command, 0x%02X\t%08X-%08X", command, s.commandWord0, s.commandWord1);
    statusMessage("Unallowed DL command, 0x%02X", command);
    theDisplayList.taskDone = true;
}

namespace {

constexpr std::array<DisplayListCommand, 256> buildTable() {
    std::array<DisplayListCommand, 256> table{};
    for (DisplayListCommand& entry : table)
        entry = unallowedCommand;
    // Signal-processor commands.
    table[0x00] = commandNothing; // G_SPNOOP
    table[0x01] = commandMatrix;
    table[0x03] = commandMoveMemory;
    table[0x04] = commandVertex;
    table[0x06] = commandDisplayList;
    table[0x09] = commandSprite;
    // G_RDPHALF_CONT, G_RDPHALF_2, G_RDPHALF_1, G_LINE3D, G_CLEARGEOMETRYMODE,
    // G_SETGEOMETRYMODE.
    for (int c = 0xB2; c <= 0xB7; ++c)
        table[c] = commandNothing;
    table[0xB8] = commandEndDisplayList;
    table[0xB9] = commandNothing; // G_SETOTHERMODE_L
    table[0xBA] = commandNothing; // G_SETOTHERMODE_H
    table[0xBB] = commandNothing; // G_TEXTURE
    table[0xBC] = commandMoveWord;
    table[0xBD] = commandPopMatrix;
    table[0xBE] = commandNothing; // G_CULLDL
    table[0xBF] = commandTriangle;
    table[0xC0] = commandNothing; // G_NOOP
    // Display-processor commands: the triangle commands 0xC8 to 0xCF have no
    // effect, nor have the syncs, keys, scissor, tiles, loads, colours, the
    // combiner and the texture and depth images.
    for (int c = 0xC8; c <= 0xCF; ++c)
        table[c] = commandNothing;
    table[0xE4] = commandTextureRectangle;
    table[0xE5] = commandNothing; // G_TEXRECTFLIP
    for (int c = 0xE6; c <= 0xE8; ++c)
        table[c] = commandNothing;
    table[0xE9] = commandFullSync;
    for (int c = 0xEA; c <= 0xF0; ++c)
        table[c] = commandNothing;
    for (int c = 0xF2; c <= 0xF5; ++c)
        table[c] = commandNothing;
    table[0xF6] = commandFillRectangle;
    table[0xF7] = commandSetFillColour;
    for (int c = 0xF8; c <= 0xFE; ++c)
        table[c] = commandNothing;
    table[0xFF] = commandSetColourImage;
    return table;
}

constexpr std::array<DisplayListCommand, 256> table = buildTable();

} // namespace

const DisplayListCommand* const displayListCommands = table.data();
