// Where a guest store to the register area lands.
#pragma once

#include <cstdint>

// Host pointer for a store to physical address p in 0x04000000-0x048FFFFF:
// the register's word, a write latch or the scratch word; registers whose
// store has an effect mark it in mem_actions.
uint8_t* regStoreTarget(uint32_t p);

// The write latches receive guest stores through doubleword slots of their own,
// so that a doubleword store to a latched register (whose low half falls 4
// bytes past the latch) stays inside owned memory. processMemActions moves the
// stored word into the named latch before applying it.
enum class WriteLatch { SpStatus, DpcStatus, MiMode, MiIntrMask, PiStatus, Count };
uint32_t& latchedStore(WriteLatch latch);
