#include "core/cpu_state.h"

#include <type_traits>

#include "base/state_stream.h"

#include "base/log.h"
#include "core/machine.h"

CpuState theCpu;

namespace {
// Log lines carry the guest program counter, and status messages stop going to
// the log once the emulation has halted.
[[maybe_unused]] const bool logHooksInstalled =
    (setLogMachineHooks({[] { return theCpu.pc; }, [] { return isEmulationHalted(); }}), true);
} // namespace

const char* const gprNames[32] = {"r0", "at", "v0", "v1", "a0", "a1", "a2", "a3", "t0", "t1", "t2",
                                  "t3", "t4", "t5", "t6", "t7", "s0", "s1", "s2", "s3", "s4", "s5",
                                  "s6", "s7", "t8", "t9", "k0", "k1", "gp", "sp", "s8", "ra"};

const char* const cop0Names[32] = {
    "Index",      "Random",     "EntryLo0",   "EntryLo1",   "Context",    "PageMask", "Wired",
    "*Reserved*", "BadVAddr",   "Count",      "EntryHi",    "Compare",    "Status",   "Cause",
    "EPC",        "PRevID",     "Config",     "LLAddr",     "WatchLo",    "WatchHi",  "XContext",
    "*Reserved*", "*Reserved*", "*Reserved*", "*Reserved*", "*Reserved*", "PErr",     "CacheErr",
    "TagLo",      "TagHi",      "ErrorEPC",   "*Reserved*"};

static_assert(std::is_trivially_copyable_v<CpuState>);

void writeCpuState(StateWriter& out) {
    out.beginPart("CPU ");
    out.putRecord(theCpu);
    out.endPart();
}

bool readCpuState(StateReader& in) {
    CpuState cpu;
    in.beginPart("CPU ");
    in.getRecord(cpu);
    if (!in.endPart()) return false;
    if (in.applying()) theCpu = cpu;
    return true;
}
