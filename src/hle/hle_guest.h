// Guest register names and word accesses shared by the native routines.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/cpu_state.h"
#include "core/memory_map.h"

namespace hle {

enum GuestRegister : unsigned {
    AT = 1,
    V0 = 2,
    V1 = 3,
    A0 = 4,
    A1 = 5,
    A2 = 6,
    A3 = 7,
    T0 = 8,
    T1 = 9,
    T2 = 10,
    T3 = 11,
    T4 = 12,
    T6 = 14,
    T7 = 15,
    T8 = 24,
    SP = 29,
};

inline GuestWord64& reg(unsigned r) {
    return theCpu.gpr[r];
}
inline uint32_t lowWord(unsigned r) {
    return theCpu.gpr[r].lo;
}
inline void setZeroExtended(unsigned r, uint32_t value) {
    theCpu.gpr[r].lo = value;
    theCpu.gpr[r].hi = 0;
}
inline void setSignExtended(unsigned r, uint32_t value) {
    theCpu.gpr[r].lo = value;
    theCpu.gpr[r].hi = (value & 0x80000000u) ? 0xFFFFFFFFu : 0;
}
inline uint64_t signExtend(uint32_t value) {
    return uint64_t(int64_t(int32_t(value)));
}

// Word load and store through the memory map, as the guest's LW and SW do,
// except that a register is read without a guest load's effect. The memory
// blocks keep spare bytes past their ends, so the four bytes behind any
// returned pointer are readable even for an unaligned address.
inline uint32_t loadWord(uint32_t vaddr) {
    uint32_t value;
    std::memcpy(&value, memPeek(vaddr), sizeof value);
    return value;
}
inline void storeWord(uint32_t vaddr, uint32_t value) {
    std::memcpy(memWrite(vaddr), &value, sizeof value);
}

} // namespace hle
