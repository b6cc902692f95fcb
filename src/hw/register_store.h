// Where a guest store to the register area lands.
#pragma once

#include <cstdint>

// Host pointer for a store to physical address p in 0x04000000-0x048FFFFF:
// the register's word, a write latch or the scratch word; registers whose
// store has an effect mark it in mem_actions.
uint8_t* regStoreTarget(uint32_t p);
