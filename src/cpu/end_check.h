// The routine a block's end check calls when the low word of mem_actions is
// set: it carries out the pending hardware-register effects. The CPU layer
// knows no device; the layer above installs the routine (processMemActions)
// before the first block runs.
#pragma once

using EndCheckRoutine = void (*)();

void setEndCheckRoutine(EndCheckRoutine routine);
// Never null: until one is installed, a routine that logs the lost effects
// once and clears mem_actions.
EndCheckRoutine endCheckRoutine();
