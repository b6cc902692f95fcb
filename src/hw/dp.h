// The display processor's command interface.
#pragma once

// DPC_STATUS_REG takes set/clear writes.
void installDpRegisters();
// The deferred effect of a store to DPC_STATUS_REG.
void applyDpcStatusWrite();
