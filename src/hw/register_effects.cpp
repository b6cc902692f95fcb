#include "hw/register_effects.h"

#include <cstring>

#include "base/state_stream.h"
#include "core/memory.h"
#include "core/register_area.h"

namespace {

// One doubleword per latch: word 0 takes the guest's store, word 1 the low half
// of a doubleword store, which is dropped.
alignas(8) uint32_t latchSlots[static_cast<int>(WriteLatch::Count)][2] = {};

} // namespace

uint32_t& latchedStore(WriteLatch latch) {
    return latchSlots[static_cast<int>(latch)][0];
}

void clearWriteLatches() {
    std::memset(latchSlots, 0, sizeof latchSlots);
}

uint8_t* latchTarget(WriteLatch latch, uint32_t action) {
    mem_actions[0] |= action;
    return reinterpret_cast<uint8_t*>(&latchedStore(latch));
}

uint8_t* markedRegister(uint32_t physical, uint32_t action) {
    mem_actions[0] |= action;
    return registerWord(physical);
}

uint32_t applyClearWins(uint32_t value, uint32_t write, const ClearSetPair* pairs, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (write & pairs[i].clear)
            value &= ~pairs[i].target;
        else if (write & pairs[i].set)
            value |= pairs[i].target;
    }
    return value;
}

void writeLatchState(StateWriter& out) {
    out.beginPart("LTCH");
    out.putRecord(latchSlots);
    out.endPart();
}

bool readLatchState(StateReader& in) {
    uint32_t slots[static_cast<int>(WriteLatch::Count)][2];
    in.beginPart("LTCH");
    in.getRecord(slots);
    if (!in.endPart()) return false;
    if (in.applying()) std::memcpy(latchSlots, slots, sizeof slots);
    return true;
}
