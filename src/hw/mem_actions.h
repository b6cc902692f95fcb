// Carrying out the pending hardware-register effects recorded in mem_actions.
#pragma once

// Called by a block's end check tail when the low word of mem_actions is set.
extern "C" void processMemActions();
