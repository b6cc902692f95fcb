// Stores that the campaign's programs aim at the DMA length registers of the
// SP and the PI. A store there starts a transfer of the register's value plus
// one bytes; a random word as the value asks for hundreds of megabytes, which
// the devices clamp to their memory but which copies megabytes on every
// store. The generator gives such stores lengths a real program would use.
// (The SI has no length register: its transfers are always 64 bytes.)
#pragma once

#include <cstdint>

namespace campaign {

// Whether a store of `size` bytes at `address` (virtual, in the register
// area's uncached or cached window) writes into a DMA length register;
// `spOnly` is cleared when one of them is the PI's.
bool writesDmaLength(uint32_t address, uint32_t size, bool& spOnly);

// A length register's value (bytes - 1) drawn from a random number: now and
// then 0, mostly whole doublewords, often any length (odd ones included), at
// most 4 KiB for the SP (its memory is 8 KiB) and 64 KiB for the PI.
uint32_t plausibleDmaLength(uint64_t draw, bool sp);

// The value the source register of the store `opcode` (SB, SH, SW, SWL, SWR,
// SD, SWC1 or SDC1) at `address` must hold so that the bytes it writes into
// the word at the address are those of `first` and, for a doubleword store,
// the word after it becomes `second`. Bytes the store leaves alone keep what
// the register held, so a register that held a length of at most 64 KiB
// still does after a narrow store.
uint64_t storeValueFor(uint32_t opcode, uint32_t address, uint32_t first, uint32_t second);

} // namespace campaign
