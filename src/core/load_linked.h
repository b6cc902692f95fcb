// The processor's LLbit. LL and LLD set it (and LLAddr, COP0 register 17),
// ERET and a machine reset clear it; SC and SCD store only while it is set.
// The console has one processor and no other bus master that watches it, so
// nothing else clears it.
#pragma once

#include <cstdint>

extern uint32_t loadLinkedBit;
