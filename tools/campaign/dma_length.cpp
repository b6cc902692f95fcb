#include "dma_length.h"

namespace campaign {

namespace {

// Physical addresses of SP_RD_LEN, SP_WR_LEN, PI_RD_LEN and PI_WR_LEN.
constexpr uint32_t SP_LENGTHS = 0x04040008;
constexpr uint32_t PI_LENGTHS = 0x04600008;

bool isLengthWord(uint32_t physicalWord, bool& spOnly) {
    if ((physicalWord & ~4u) == SP_LENGTHS) return true;
    if ((physicalWord & ~4u) != PI_LENGTHS) return false;
    spOnly = false;
    return true;
}

} // namespace

bool writesDmaLength(uint32_t address, uint32_t size, bool& spOnly) {
    spOnly = true;
    const uint32_t word = address & 0x1FFFFFFC;
    bool hit = isLengthWord(word, spOnly);
    if (size == 8 && isLengthWord(word + 4, spOnly)) hit = true;
    return hit;
}

uint32_t plausibleDmaLength(uint64_t draw, bool sp) {
    const uint32_t limit = sp ? 0x1000 : 0x10000;
    const uint32_t roll = uint32_t(draw % 10);
    const uint32_t value = uint32_t(draw >> 8);
    if (roll == 0) return 0;
    if (roll < 6) return 8 * (value % (limit / 8)) + 7;
    return value % limit;
}

uint64_t storeValueFor(uint32_t opcode, uint32_t address, uint32_t first, uint32_t second) {
    // Big-endian lanes: byte 0 of a word holds its bits 31-24.
    const uint32_t lane = address & 3;
    switch (opcode) {
    case 0x28: // SB
        return (first >> (8 * (3 - lane))) & 0xFF;
    case 0x29: // SH
        return (first >> (8 * (2 - (lane & 2)))) & 0xFFFF;
    case 0x2A: // SWL: the register's high bytes from the lane on
        return uint32_t(first << (8 * lane));
    case 0x2E: // SWR: the register's low bytes up to the lane
        return first >> (8 * (3 - lane));
    case 0x3F: // SD
    case 0x3D: // SDC1
        return (uint64_t(first) << 32) | second;
    default: // SW, SWC1
        return first;
    }
}

} // namespace campaign
