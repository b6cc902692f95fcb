// The speed limiter: keeps an emulation run at the console's own pace by wall
// time, one vertical interrupt every 1/60 s for NTSC cartridges and every
// 1/50 s for PAL ones. The CPU thread calls it after each vertical interrupt;
// when the guest is ahead of the wall clock the thread sleeps until the
// interrupt is due. It never spins, and it never catches up on lost time by
// running fast: a run that fell behind by more than one interrupt period (a
// slow stretch, a pause, a message box) is paced again from where it stands.
// Lag within a period (a sleep that overslept) is made up, so the pace stays
// true over a long run.
//
// Its clock and its sleep are handed in, so that a test can pace it without
// timing anything.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

// Vertical interrupts per second of the two television standards.
constexpr double NTSC_VI_RATE = 60.0;
constexpr double PAL_VI_RATE = 50.0;

// The rate of a cartridge by its header's country code (offset 0x3E): PAL
// for the European and Australian codes, NTSC for all others.
double viRateOfCountry(char countryCode);

// "Limit speed": the option as the menu shows it (on by default).
extern bool limitSpeed;

class SpeedLimiter {
  public:
    using Nanoseconds = std::chrono::nanoseconds;
    // A monotonic clock, and a sleep of at least the time given.
    using Clock = std::function<Nanoseconds()>;
    using Sleep = std::function<void(Nanoseconds)>;

    // The steady clock and the thread's own sleep.
    SpeedLimiter();
    SpeedLimiter(Clock clock, Sleep sleep);

    // Vertical interrupts per second; set before the run starts.
    void setRate(double viPerSecond);
    double rate() const { return rate_; }

    // Any thread: the option, and fast-forward (Tab held). Pacing takes
    // effect again from the moment both allow it.
    void setEnabled(bool enabled) { enabled_.store(enabled); }
    bool enabled() const { return enabled_.load(); }
    void setFastForward(bool on) { fastForward_.store(on); }
    bool fastForward() const { return fastForward_.load(); }

    // CPU thread: after a vertical interrupt. Sleeps, at most one interrupt
    // period, until the interrupt's time on the wall clock has come.
    void paceVerticalInterrupt();
    // CPU thread: the next interrupt starts the pace afresh (after a pause).
    void restart() { anchored_ = false; }

  private:
    Clock clock_;
    Sleep sleep_;
    double rate_ = NTSC_VI_RATE;
    Nanoseconds period_{};
    std::atomic<bool> enabled_{true};
    std::atomic<bool> fastForward_{false};
    // CPU thread only: the wall time the pace counts from, and the
    // interrupts since then.
    bool anchored_ = false;
    Nanoseconds anchor_{};
    uint64_t interrupts_ = 0;
};
