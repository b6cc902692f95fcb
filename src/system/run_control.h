// Control of a running CPU thread from outside the guest: a quiet request to
// stop, limits at which the thread stops by itself, and the counters a run's
// speed figures are made from.
#pragma once

#include <atomic>
#include <cstdint>

#include "cpu/cpu_core.h"

// Why the CPU thread left its loop without the guest having halted. While it
// is None a halt comes from the guest and is reported with the halt messages.
enum class CpuStopReason : uint32_t {
    None,
    Requested,  // the emulation stop asked for it
    FrameLimit, // the vertical-interrupt limit was reached
    IdleLoop,   // the guest reached an idle loop and the run was to end there
};

// Ends the run after the current block, without the halt messages. The first
// reason given is kept.
void requestCpuStop(CpuStopReason reason);
CpuStopReason cpuStopReason();

// Counters of the run since resetRunControl. Written by the CPU thread only,
// read by any thread.
struct RunCounters {
    // Guest instructions of the blocks run.
    std::atomic<uint64_t> instructions{0};
    // Vertical interrupts raised by the timing.
    std::atomic<uint64_t> viInterrupts{0};
};
extern RunCounters runCounters;

// Limits at which the CPU thread stops by itself: after that many vertical
// interrupts (0 = none), and at the first idle-loop skip.
struct RunLimits {
    std::atomic<uint64_t> viInterrupts{0};
    std::atomic<bool> stopAtIdleLoop{false};
};
extern RunLimits runLimits;

// Called by the CPU thread after each vertical interrupt, with its context;
// for host parts that keep the pace of guest time. Set it only while no CPU
// thread runs; null removes it.
using ViObserver = void (*)(void* context);
void setViObserver(ViObserver observer, void* context);

// Zeroes the counters and forgets the stop reason; the limits and the
// observer are kept.
void resetRunControl();
// Removes both limits.
void clearRunLimits();

class StateWriter;
class StateReader;
// The counters' part of a saved state: a run loaded from a state counts its
// vertical interrupts on from where the state was taken (the limits count
// them too).
void writeRunCounterState(StateWriter& out);
bool readRunCounterState(StateReader& in);

// The run loop's bookkeeping after a block: its instructions are counted.
inline void countBlockInstructions(uint32_t count) {
    runCounters.instructions.store(runCounters.instructions.load(std::memory_order_relaxed) + count,
                                   std::memory_order_relaxed);
}
// After a vertical interrupt, and after any timer event (an idle-loop skip
// always ends in one). Returns false when a limit was reached.
bool checkRunLimitsAfterTimerEvent(bool viInterrupt);
