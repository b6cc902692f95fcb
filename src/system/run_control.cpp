#include "system/run_control.h"

#include "base/state_stream.h"
#include "core/machine.h"
#include "system/run_pacing.h"

RunCounters runCounters;
RunLimits runLimits;

namespace {
std::atomic<CpuStopReason> stopReason{CpuStopReason::None};
ViObserver viObserver = nullptr;
void* viObserverContext = nullptr;
} // namespace

void setViObserver(ViObserver observer, void* context) {
    viObserver = observer;
    viObserverContext = context;
}

void requestCpuStop(CpuStopReason reason) {
    CpuStopReason expected = CpuStopReason::None;
    stopReason.compare_exchange_strong(expected, reason);
    // The flag is set after the reason, so a thread that sees the halt also
    // sees why.
    haltEmulation();
    wakePausedCpu();
}

CpuStopReason cpuStopReason() {
    return stopReason.load();
}

void resetRunControl() {
    runCounters.instructions.store(0);
    runCounters.viInterrupts.store(0);
    idleLoopSkips.store(0);
    stopReason.store(CpuStopReason::None);
    resetPause();
}

void clearRunLimits() {
    runLimits.viInterrupts.store(0);
    runLimits.stopAtIdleLoop.store(false);
}

bool checkRunLimitsAfterTimerEvent(bool viInterrupt) {
    if (viInterrupt) {
        const uint64_t count = runCounters.viInterrupts.load(std::memory_order_relaxed) + 1;
        runCounters.viInterrupts.store(count, std::memory_order_relaxed);
        if (viObserver) viObserver(viObserverContext);
        const uint64_t limit = runLimits.viInterrupts.load(std::memory_order_relaxed);
        if (limit != 0 && count >= limit) {
            requestCpuStop(CpuStopReason::FrameLimit);
            return false;
        }
        paceAfterVerticalInterrupt();
    }
    if (runLimits.stopAtIdleLoop.load(std::memory_order_relaxed) &&
        idleLoopSkips.load(std::memory_order_relaxed) != 0) {
        requestCpuStop(CpuStopReason::IdleLoop);
        return false;
    }
    return true;
}

void writeRunCounterState(StateWriter& out) {
    out.beginPart("RUN ");
    out.put(runCounters.instructions.load());
    out.put(runCounters.viInterrupts.load());
    out.endPart();
}

bool readRunCounterState(StateReader& in) {
    uint64_t instructions = 0, viInterrupts = 0;
    in.beginPart("RUN ");
    in.get(instructions);
    in.get(viInterrupts);
    if (!in.endPart()) return false;
    if (!in.applying()) return true;
    runCounters.instructions.store(instructions);
    runCounters.viInterrupts.store(viInterrupts);
    return true;
}
