// The table of guest library functions named by a ROM's symbol file, and the
// compile-time lookup through which a JAL reaches a native replacement.
#pragma once

#include <cstdint>

using HleHandler = void (*)();

struct HleFunction {
    char name[100];
    uint32_t address;
    HleHandler handler; // the native replacement, or null
};

// The record for a JAL at `callPc` to `target`, or null when the call must run
// the guest's own code (HLE off, no table, no record, no native replacement).
const HleFunction* findHleFunction(uint32_t callPc, uint32_t target);
