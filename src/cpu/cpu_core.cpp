#include "cpu/cpu_core.h"

CpuCore selectedCpuCore = CpuCore::Recompiler;
