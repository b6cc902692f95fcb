// What the device blocks' register handlers share: marking a deferred effect
// in mem_actions, the write latches of set/clear registers, and the rule by
// which a set/clear write changes a register.
#pragma once

#include <cstddef>
#include <cstdint>

// The write latches receive guest stores through doubleword slots of their own,
// so that a doubleword store to a latched register (whose low half falls 4
// bytes past the latch) stays inside owned memory. The device's deferred
// effect reads the stored word from its latch.
enum class WriteLatch { SpStatus, DpcStatus, MiMode, MiIntrMask, PiStatus, Count };
uint32_t& latchedStore(WriteLatch latch);
// Empties every latch. A run may end with a store latched and its effect
// never carried out (no end check came after it); a new run starts without it.
void clearWriteLatches();

class StateWriter;
class StateReader;
// The write latches' part of a saved state.
void writeLatchState(StateWriter& out);
bool readLatchState(StateReader& in);

// Store targets: the latch, or the register's own word, with `action` marked
// in mem_actions for the end of the block.
uint8_t* latchTarget(WriteLatch latch, uint32_t action);
uint8_t* markedRegister(uint32_t physical, uint32_t action);

// A (clear, set) pair of a set/clear write and the register bits it acts on.
struct ClearSetPair {
    uint32_t clear;
    uint32_t set;
    uint32_t target;
};
// Applies the pairs to `value`: of a pair written with both bits, the clear wins.
uint32_t applyClearWins(uint32_t value, uint32_t write, const ClearSetPair* pairs, size_t count);
