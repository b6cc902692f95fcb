// Speed counters of the status bar: "CPU" counts vertical interrupts per
// second, "GFX" the frames the display-list renderer finishes per second.
#pragma once

#include <atomic>
#include <cstdint>

// A millisecond tick count that wraps modulo 2^32.
using TickSource = uint32_t (*)();

// The steady clock in milliseconds, cut to 32 bits.
uint32_t steadyTickCount();
// Replaces the clock the counters read (tests use a fake one); null restores
// the steady clock.
void setTickSource(TickSource source);
uint32_t tickCount();

// Counts events and turns them into a rate once a measuring window of at
// least 500 ms has passed. countEvent runs on the emulation thread; `rate` is
// read by the main thread.
struct RateCounter {
    static constexpr uint32_t MIN_WINDOW_MS = 500;

    // Events per second over the last completed window; 0 until the first.
    std::atomic<float> rate{0.0f};
    uint32_t windowStart = 0;
    uint32_t windowCount = 0;
    // True until the first window has been opened: the time running up to
    // that moment yields no figure.
    bool firstWindow = true;

    void countEvent();
    // Back to the state at program start.
    void reset();
};

// Ticked at every vertical interrupt.
extern RateCounter cpuRate;
// Ticked at every full sync of the display-list renderer.
extern RateCounter gfxRate;

// Writes both figures into the status bar: part 0 "CPU: %.1f" (or "CPU: N/A"
// before the first figure), part 1 "GFX: %.1f" (or "GFX: N/A"). Called once a
// second by the main thread's timer.
void updateSpeedDisplay();
