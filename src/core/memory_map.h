// The guest memory map: guest virtual address to host pointer for one access
// of at most 8 bytes. Never returns null: unsupported addresses get a scratch
// word, a log line and possibly a halt.
#pragma once

#include <cstdint>

// Physical address of a guest virtual address (KSEG0/KSEG1 by mask, anything
// else through the TLB; untranslated when no entry covers it).
uint32_t translateAddress(uint32_t vaddr);

// Host pointer for a load at vaddr (byte and halfword addresses are already
// XORed with 3 or 2 by the caller).
uint8_t* memRead(uint32_t vaddr);
// The same for a read that is no guest load (native routines, a debugger):
// registers read without their load effects.
uint8_t* memPeek(uint32_t vaddr);
// Host pointer for a store at vaddr.
uint8_t* memWrite(uint32_t vaddr);
