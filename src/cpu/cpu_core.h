// Which CPU core runs guest code: the recompiler, or the reference
// interpreter for debugging and for comparing the two.
#pragma once

enum class CpuCore { Recompiler, Interpreter };

extern CpuCore selectedCpuCore; // the recompiler unless asked otherwise
