#include "core/machine_mode.h"

MachineMode theMachineMode = MachineMode::Design;
