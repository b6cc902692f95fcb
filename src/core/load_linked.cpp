#include "core/load_linked.h"

uint32_t loadLinkedBit = 0;
