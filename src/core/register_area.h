// The register area (physical 0x04000000-0x048FFFFF) as the memory map sees
// it: an address-to-handler table that the device blocks fill. A register
// without a handler is a plain word of theMemory.hwRegs.
#pragma once

#include <cstdint>

struct RegisterHandler {
    // Where a guest store to the register lands: its own word, a write latch
    // or the scratch word. It may mark a deferred effect in mem_actions, which
    // the end of the block carries out. Null: the register's own word.
    uint8_t* (*storeTarget)(uint32_t physical) = nullptr;
    // What a guest load of the register does before the word is read. Null:
    // nothing. Reads that are not guest loads (native routines, a debugger)
    // never run it.
    void (*loadEffect)(uint32_t physical) = nullptr;
};

// Installs the handler of the register at a physical address. Only the first
// 64 bytes of each 64 KiB page of the register area hold registers; other
// addresses are ignored.
void installRegisterHandler(uint32_t physical, RegisterHandler handler);
// Forgets every handler.
void clearRegisterHandlers();

// The memory map's side, for a physical address inside the register area.
uint8_t* registerStoreTarget(uint32_t physical);
uint8_t* registerLoadTarget(uint32_t physical);
// The register's word, without any effect.
uint8_t* registerWord(uint32_t physical);
