// The MIPS interface: the interrupt bits, their mask and the mode register.
#pragma once

// Stores to MI_MODE_REG and MI_INTR_MASK_REG go to write latches.
void installMiRegisters();
// The deferred effect of those stores: the set/clear bits are applied.
void applyMiWrites();
