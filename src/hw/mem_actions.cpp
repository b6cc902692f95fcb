#include "hw/mem_actions.h"

#include "core/memory.h"

// No register effect is carried out yet: pending effects are dropped.
extern "C" void processMemActions() { mem_actions[0] = 0; }
