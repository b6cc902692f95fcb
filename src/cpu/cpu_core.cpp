#include "cpu/cpu_core.h"

CpuCore selectedCpuCore = CpuCore::Recompiler;
std::atomic<uint32_t> idleLoopSkips{0};
