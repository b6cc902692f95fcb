// One guest program run on one CPU core through the headless runner's
// emulation session, what of the machine a guest could observe afterwards,
// and the differences between two such outcomes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cpu_state.h"
#include "core/machine_mode.h"
#include "core/tlb.h"
#include "cpu/cpu_core.h"
#include "runner.h"

namespace campaign {

struct CoreOutcome {
    RunReport report;
    CpuState cpu{};
    TlbEntry tlb[TLB_ENTRIES]{};
    uint64_t rdramHash = 0;
    uint64_t deviceHash = 0; // SP memories and the device registers
    uint64_t pifHash = 0;
    // RDRAM, the device block and PIF RAM themselves, kept for replays so
    // that their differences can be shown word by word.
    std::vector<uint8_t> rdram, devices, pif;
    // The run's log, without the lines only one core writes.
    std::string log;
};

// Runs the image for `frames` vertical interrupts (or until the guest halts,
// or the run has taken `timeBound` seconds of CPU time) on `core`, with the
// log in `logDirectory`.
CoreOutcome runOnCore(const std::string& romPath, CpuCore core, MachineMode machine,
                      uint64_t frames, double timeBound, const std::string& logDirectory,
                      bool keepMemory = false);

// What the interpreter's outcome shows differently from the recompiler's,
// one line each, starting with its kind: "registers", "memory", "end",
// "messages" or "log".
std::vector<std::string> compareOutcomes(const CoreOutcome& recompiler,
                                         const CoreOutcome& interpreter);

// 64-bit hash of a byte range.
uint64_t hashBytes(const uint8_t* bytes, size_t size);

} // namespace campaign
