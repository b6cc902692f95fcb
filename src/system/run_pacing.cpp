#include "system/run_pacing.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "core/machine.h"
#include "system/speed_limiter.h"

namespace {
SpeedLimiter* speedLimiter = nullptr;
std::mutex pauseMutex;
std::condition_variable pauseChanged;
std::atomic<bool> pauseRequested{false};
std::atomic<bool> cpuPaused{false};
} // namespace

void installSpeedLimiter(SpeedLimiter* limiter) {
    speedLimiter = limiter;
}

void requestPause(bool paused) {
    {
        std::lock_guard lock(pauseMutex);
        pauseRequested = paused;
    }
    pauseChanged.notify_all();
}

bool isPauseRequested() {
    return pauseRequested.load();
}

bool isCpuPaused() {
    return cpuPaused.load();
}

void wakePausedCpu() {
    // Taking the lock orders the halt flag, set before, with the waiter's
    // check of it.
    { std::lock_guard lock(pauseMutex); }
    pauseChanged.notify_all();
}

void resetPause() {
    std::lock_guard lock(pauseMutex);
    pauseRequested = false;
}

void paceAfterVerticalInterrupt() {
    if (pauseRequested.load(std::memory_order_relaxed)) {
        std::unique_lock lock(pauseMutex);
        cpuPaused = true;
        pauseChanged.wait(lock, [] { return !pauseRequested.load() || isEmulationHalted(); });
        cpuPaused = false;
        // The time spent paused is not made up for.
        if (speedLimiter) speedLimiter->restart();
    }
    if (speedLimiter && !isEmulationHalted()) speedLimiter->paceVerticalInterrupt();
}
