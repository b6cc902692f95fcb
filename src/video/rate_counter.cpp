#include "video/rate_counter.h"

#include <chrono>

#include "base/log.h"

RateCounter cpuRate;
RateCounter gfxRate;

namespace {
std::atomic<TickSource> currentTickSource{&steadyTickCount};
}

uint32_t steadyTickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void setTickSource(TickSource source) {
    currentTickSource.store(source ? source : &steadyTickCount, std::memory_order_release);
}

uint32_t tickCount() {
    return currentTickSource.load(std::memory_order_acquire)();
}

void RateCounter::countEvent() {
    ++windowCount;
    const uint32_t now = tickCount();
    const uint32_t elapsed = now - windowStart;
    if (elapsed < MIN_WINDOW_MS) return;
    if (!firstWindow) rate.store(float(double(windowCount) / (elapsed * 0.001)));
    windowStart = now;
    windowCount = 0;
    firstWindow = false;
}

void RateCounter::reset() {
    rate.store(0.0f);
    windowStart = 0;
    windowCount = 0;
    firstWindow = true;
}

namespace {
void showRate(int part, const char* name, const RateCounter& counter) {
    const float rate = counter.rate.load();
    if (rate == 0.0f)
        setStatusText(part, "%s: N/A", name);
    else
        setStatusText(part, "%s: %.1f", name, double(rate));
}
} // namespace

void updateSpeedDisplay() {
    showRate(1, "GFX", gfxRate);
    showRate(0, "CPU", cpuRate);
}
