#include "system/speed_limiter.h"

#include <cmath>
#include <thread>

bool limitSpeed = true;

double viRateOfCountry(char countryCode) {
    switch (countryCode) {
    case 'D': // Germany
    case 'F': // France
    case 'H': // the Netherlands
    case 'I': // Italy
    case 'L':
    case 'P': // Europe
    case 'S': // Spain
    case 'U': // Australia
    case 'W': // Scandinavia
    case 'X':
    case 'Y':
        return PAL_VI_RATE;
    default:
        return NTSC_VI_RATE;
    }
}

SpeedLimiter::SpeedLimiter()
    : SpeedLimiter(
          [] {
              return std::chrono::duration_cast<Nanoseconds>(
                  std::chrono::steady_clock::now().time_since_epoch());
          },
          [](Nanoseconds time) { std::this_thread::sleep_for(time); }) {}

SpeedLimiter::SpeedLimiter(Clock clock, Sleep sleep)
    : clock_(std::move(clock)), sleep_(std::move(sleep)) {
    setRate(NTSC_VI_RATE);
}

void SpeedLimiter::setRate(double viPerSecond) {
    rate_ = std::isfinite(viPerSecond) && viPerSecond >= 1.0 ? viPerSecond : NTSC_VI_RATE;
    period_ = Nanoseconds(int64_t(std::llround(1e9 / rate_)));
    anchored_ = false;
}

void SpeedLimiter::paceVerticalInterrupt() {
    if (!enabled_.load(std::memory_order_relaxed) || fastForward_.load(std::memory_order_relaxed)) {
        anchored_ = false;
        return;
    }
    const Nanoseconds now = clock_();
    if (!anchored_) {
        anchored_ = true;
        anchor_ = now;
        interrupts_ = 0;
        return;
    }
    ++interrupts_;
    // From the anchor rather than from the last interrupt, so rounding and
    // oversleeping do not add up over a long run.
    const Nanoseconds due = anchor_ + period_ * int64_t(interrupts_);
    if (now < due) {
        // Never more than one period: the guest is kept from queueing its
        // next sound buffer no longer than a frame would take on the console.
        sleep_(std::min(due - now, period_));
    } else if (now - due > period_) {
        anchor_ = now;
        interrupts_ = 0;
    }
}
