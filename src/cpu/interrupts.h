// Interrupt raises of the console's devices and the general exception entry.
#pragma once

#include <cstdint>

void raiseSpInterrupt();
void raiseSiInterrupt();
void raiseAiInterrupt();
void raiseViInterrupt();
void raisePiInterrupt();
void raiseDpInterrupt();
void raiseCompareInterrupt();
// Enters the guest's exception handler with the given exception code.
void raiseException(uint32_t code);
