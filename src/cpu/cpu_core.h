// Which CPU core runs guest code: the recompiler, or the reference
// interpreter for debugging and for comparing the two.
#pragma once

#include <atomic>
#include <cstdint>

enum class CpuCore { Recompiler, Interpreter };

extern CpuCore selectedCpuCore; // the recompiler unless asked otherwise

// Incremented each time a jump to itself with an empty delay slot skips Count
// ahead to the next event. Translated code increments it with a plain store
// (the CPU thread is its only writer).
extern std::atomic<uint32_t> idleLoopSkips;
