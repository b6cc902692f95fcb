#include "hw/register_store.h"

#include "core/memory.h"

// Every register without a special rule takes the stored word in its own word
// of the register area.
uint8_t* regStoreTarget(uint32_t p) { return theMemory.hwRegs + (p & 0x00FFFFFF); }
