// The table of guest library functions named by a ROM's symbol file, and the
// compile-time lookup through which a JAL reaches a native replacement.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// "Utilize HLE of CPU functions": JALs to recognised guest library routines
// run native replacements. The main window may change it while the CPU thread
// reads it, hence atomic.
extern std::atomic<bool> hleEnabled;

using HleHandler = void (*)();

// Longest function name kept (longer names are cut), and the record's buffer.
constexpr unsigned HLE_NAME_LENGTH = 99;
// Most records one table holds: 0xFFFF marks an empty slot of the index map.
constexpr uint32_t HLE_MAX_FUNCTIONS = 0xFFFF;
// The index map distinguishes functions by bits 2-19 of their address.
constexpr uint32_t HLE_SLOT_COUNT = 0x40000;
constexpr uint16_t HLE_NO_FUNCTION = 0xFFFF;

struct HleFunction {
    char name[HLE_NAME_LENGTH + 1]; // NUL-terminated
    uint32_t address;               // the guest address the symbol file gives
    HleHandler handler;             // the native replacement, or null
};

// Built from the symbol file when a ROM image is opened with HLE of CPU
// functions on; lives until the next such opening. Whether HLE is on is
// `hleEnabled`, read at every lookup.
struct HleTable {
    // Record number for each slot, HLE_NO_FUNCTION for none.
    std::unique_ptr<uint16_t[]> indexMap;
    uint32_t functionCount = 0;
    // The records in file order; null when no table is loaded.
    std::unique_ptr<HleFunction[]> functions;
    // Log lines of the symbol file's reading that found no log open (the image
    // is opened before its run's log); the emulation start writes them.
    std::vector<std::string> unloggedLines;
};

extern HleTable theHleTable;

// Slot of a function address in the index map.
constexpr uint32_t hleSlot(uint32_t address) {
    return (address >> 2) & (HLE_SLOT_COUNT - 1);
}

// Frees the table: no functions, no index map.
void clearHleTable();

// The native replacement of the guest function named `name`, or null.
HleHandler hleHandlerForName(const char* name);

// The record for a JAL at `callPc` to `target`, or null when the call must run
// the guest's own code: HLE off, no table, a call from outside 0x80000000-
// 0x80FFFFFF, an empty slot or a function without a native replacement. Only
// the slot is looked at: two functions sharing a slot are not told apart.
const HleFunction* findHleFunction(uint32_t callPc, uint32_t target);

// The lookup both CPU cores make for a JAL's callee while its block is
// compiled: findHleFunction (tests substitute their own table).
using HleLookup = const HleFunction* (*)(uint32_t callPc, uint32_t target);
extern HleLookup hleLookup;
